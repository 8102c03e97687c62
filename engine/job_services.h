#pragma once

#include "engine/job_state.h"
#include "engine/messages.h"
#include "printing/printer_service.h"

namespace tarvo {

class PageDeviceFactory;   // printing/page_device.h: opens page devices by printer name
class AutomationRegistry;  // printing/automation.h: creates automation objects by class name

// Everything a job reaches outside the engine: the job state, the spooler,
// the message boxes, the page devices and the automation objects.
struct JobServices {
  JobState& state;
  PrinterService& printers;
  Messages& messages;
  PageDeviceFactory* pages = nullptr;
  AutomationRegistry* automation = nullptr;
};

}  // namespace tarvo
