#pragma once

#include <string_view>

#include "engine/escp_interpreter.h"
#include "engine/job_services.h"

namespace tarvo {

// Prints the printer data of a DOS-standard file (the bytes after its
// marker) as pages on `printer`, for a printer that cannot take the data
// raw: creates the page object as a positioned-record job does, draws the
// data on it through the ESC/P interpreter as one document titled as the raw
// job is, and releases it. True when the document reached the printer;
// otherwise the user was told why (no such printer, the document refused or
// lost, nothing in the data to print).
bool print_dos_as_pages(JobServices& job, std::string_view printer, const DosData& data,
                        const EscpOptions& options = {});

}  // namespace tarvo
