#pragma once

#include <string_view>
#include <vector>
#include <string>

#include "engine/job_state.h"

namespace tarvo {

inline constexpr std::string_view kMarcaPadrao = "  (Imp. PADRÃO) ";

// Creates the temporary printer table IMP, empty, and opens it.
void CRIA_TMP(JobState& state);

// Fills IMP: the default printer first (marked as the default), then every
// installed printer whose name does not begin the default's name; the first
// row becomes the current one.
void fill_printer_table(ImpTable& table, const std::vector<std::string>& installed,
                        std::string_view default_printer);

}  // namespace tarvo
