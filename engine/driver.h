#pragma once

#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// How a job ended. Every job ends the run: the caller (startup or the
// window) ends the program when the driver returns.
enum class JobOutcome {
  done,        // the records were processed (whatever was printed)
  slips,       // the slip file was issued
  dos,         // the DOS-standard file was handed to the spooler
  not_found,   // nothing to print was found; the user was told
};

// Runs one whole print job on printer `printer`.
JobOutcome IMPRIMIR_TXT(JobServices& job, std::string_view printer);

}  // namespace tarvo
