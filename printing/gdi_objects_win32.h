#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "runtime/wide_text.h"

namespace tarvo::gdi {

// GDI's handles, let go when the object goes: device contexts, and the
// objects selected into them (fonts, brushes, bitmaps), which must have
// left the context first.
struct DcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using Dc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;

struct GdiObjectDelete {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDelete>;
using Brush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDelete>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;

// The system's words for its last error (UTF-8, without the closing
// period), else `fallback`.
inline std::string last_error_text(const char* fallback) {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
  if (error == ERROR_SUCCESS || length == 0) return fallback;
  std::wstring words(text, length);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ' ||
                            words.back() == L'.'))
    words.pop_back();
  return words.empty() ? std::string(fallback) : utf8_from_wide(words);
}

}  // namespace tarvo::gdi
