#pragma once

#include "engine/job_state.h"
#include "engine/messages.h"
#include "printing/printer_service.h"

namespace tarvo {

// Everything a job reaches outside the engine: the job state, the spooler
// and the message boxes. Each later part of the printing layer joins here.
struct JobServices {
  JobState& state;
  PrinterService& printers;
  Messages& messages;
};

}  // namespace tarvo
