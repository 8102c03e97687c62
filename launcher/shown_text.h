#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Text as the window shows it (UTF-8): UTF-8 is kept, any other bytes are
// read as Windows-1252, and a last character cut short by a table's width is
// dropped.
std::string shown_text(std::string_view bytes);

// UTF-8 text without its last `count` characters (empty when it has fewer).
std::string_view drop_last_characters(std::string_view utf8, std::size_t count);

}  // namespace tarvo
