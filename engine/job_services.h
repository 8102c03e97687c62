#pragma once

#include "engine/job_state.h"
#include "engine/messages.h"
#include "printing/printer_service.h"

namespace tarvo {

class PageDeviceFactory;   // printing/page_device.h: opens page devices by printer name
class AutomationRegistry;  // printing/automation.h: creates automation objects by class name
class PreviewDocument;     // printing/page_preview.h: the pages of a job shown before it prints

// Everything a job reaches outside the engine: the job state, the spooler,
// the message boxes, the page devices and the automation objects.
struct JobServices {
  JobState& state;
  PrinterService& printers;
  Messages& messages;
  PageDeviceFactory* pages = nullptr;
  AutomationRegistry* automation = nullptr;
  // Set when the job is previewed rather than printed: the page devices then
  // record pages for it, slips and DOS-standard files show their pages in
  // it, and nothing is sent to a printer.
  PreviewDocument* preview = nullptr;
};

}  // namespace tarvo
