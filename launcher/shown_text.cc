#include "launcher/shown_text.h"

#include "runtime/text.h"

namespace tarvo {
namespace {

// Length of the UTF-8 sequence that `lead` starts; 0 for a byte that cannot
// start one.
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// How many leading bytes of `text` are whole UTF-8 characters when the rest
// is one character cut short; npos when the text is not UTF-8.
std::size_t utf8_prefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = sequence_length(static_cast<unsigned char>(text[i]));
    if (n == 0) return std::string_view::npos;
    std::size_t k = 1;
    while (k < n && i + k < text.size() && continuation(static_cast<unsigned char>(text[i + k]))) ++k;
    if (k < n) return i + k == text.size() ? i : std::string_view::npos;
    i += n;
  }
  return i;
}

}  // namespace

std::string shown_text(std::string_view bytes) {
  const std::size_t whole = utf8_prefix(bytes);
  if (whole == std::string_view::npos) return cp1252_to_utf8(bytes);
  return std::string(bytes.substr(0, whole));
}

std::string_view drop_last_characters(std::string_view utf8, std::size_t count) {
  std::size_t end = utf8.size();
  for (; count > 0 && end > 0; --count) {
    --end;
    while (end > 0 && continuation(static_cast<unsigned char>(utf8[end]))) --end;
  }
  return utf8.substr(0, end);
}

}  // namespace tarvo
