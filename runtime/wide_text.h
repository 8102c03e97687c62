#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Texts crossing into the Windows API, which speaks UTF-16, and back. Built
// on Windows only (wide_text_win32.cc).

// Windows-1252 bytes (the print file's code page) as UTF-16, one character
// per byte, whatever the machine's own code page is.
std::wstring wide_from_cp1252(std::string_view bytes);
// UTF-8 (the program's messages, file and printer names) as UTF-16. Bytes
// that are not UTF-8 are read as Windows-1252, as the window shows them.
std::wstring wide_from_utf8(std::string_view text);

std::string utf8_from_wide(std::wstring_view text);
// Characters that Windows-1252 does not have become '?'.
std::string cp1252_from_wide(std::wstring_view text);

}  // namespace tarvo
