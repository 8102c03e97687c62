#pragma once

#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// DOS-standard printing: when the text's tail carries the DOS-standard
// marker, sends the text after its first 27 characters to the printer of the
// table's current row as a raw job and returns true; otherwise returns false
// and does nothing.
bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text);

}  // namespace tarvo
