#include <windows.h>

#include <algorithm>
#include <climits>

#include "runtime/wide_text.h"

namespace tarvo {
namespace {

constexpr UINT kWindows1252 = 1252;
// The conversion calls count in int: longer texts go in pieces. Each piece
// of a single-byte text ends on a whole character.
constexpr std::size_t kPiece = std::size_t{1} << 20;

std::wstring wide_from(UINT code_page, DWORD flags, std::string_view text) {
  if (text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(code_page, flags, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  if (size > 0) MultiByteToWideChar(code_page, flags, text.data(), length, out.data(), size);
  return out;
}

std::string narrow_to(UINT code_page, const char* replacement, std::wstring_view text) {
  if (text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, replacement, nullptr);
  std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0) WideCharToMultiByte(code_page, 0, text.data(), length, out.data(), size, replacement, nullptr);
  return out;
}

}  // namespace

std::wstring wide_from_cp1252(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size(); at += kPiece)
    out += wide_from(kWindows1252, 0, bytes.substr(at, kPiece));
  return out;
}

std::wstring wide_from_utf8(std::string_view text) {
  if (text.empty()) return {};
  std::wstring out = wide_from(CP_UTF8, MB_ERR_INVALID_CHARS, text);
  return out.empty() ? wide_from_cp1252(text) : out;
}

std::string utf8_from_wide(std::wstring_view text) {
  if (text.empty()) return {};
  return narrow_to(CP_UTF8, nullptr, text);
}

std::string cp1252_from_wide(std::wstring_view text) {
  if (text.empty()) return {};
  return narrow_to(kWindows1252, "?", text);
}

}  // namespace tarvo
