#pragma once

#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// True when the text is a slip file: the slip-start marker begins within its
// first 50 characters.
bool IMPRESSAO_DE_BOLETOS(std::string_view text);

// The slip loop of the job driver: reads the slip records of the job's text
// into the field store and issues one slip per start/end pair.
void issue_slip_file(JobServices& job);

}  // namespace tarvo
