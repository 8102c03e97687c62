#pragma once

#include <string_view>

namespace tarvo::ui {

// Writes `text` (UTF-8) to standard error as it is, line breaks unchanged,
// and flushes it. Each platform's version lives in standard_error_<platform>.cc.
void write_standard_error(std::string_view text);

}  // namespace tarvo::ui
