#include <windows.h>

#include <algorithm>

#include "runtime/wide_text.h"
#include "ui/standard_error.h"

namespace tarvo::ui {

// The handle the program was started with, not the C library's stream: a
// program without a console of its own still has the one its starter gave
// it, and the stream's text mode would add a carriage return to every line
// break. A console shows the text in its own characters; a file or a pipe
// takes the bytes.
void write_standard_error(std::string_view text) {
  const HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = wide_from_utf8(text);
    DWORD written = 0;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  while (!text.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    if (!WriteFile(out, text.data(), size, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

}  // namespace tarvo::ui
