#include "runtime/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace tarvo {

bool text_equal(std::string_view left, std::string_view right) {
  return left.size() >= right.size() && left.compare(0, right.size(), right) == 0;
}

std::string_view ltrim(std::string_view text) {
  const auto p = text.find_first_not_of(' ');
  return p == std::string_view::npos ? std::string_view{} : text.substr(p);
}

std::string_view rtrim(std::string_view text) {
  const auto p = text.find_last_not_of(' ');
  return p == std::string_view::npos ? std::string_view{} : text.substr(0, p + 1);
}

std::string_view trim(std::string_view text) { return rtrim(ltrim(text)); }

bool is_blank(std::string_view text) { return trim(text).empty(); }

namespace {
char up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char down(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = up(c);
  return out;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = down(c);
  return out;
}

bool iequal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (up(a[i]) != up(b[i])) return false;
  return true;
}

std::size_t ifind(std::string_view hay, std::string_view needle) {
  if (needle.size() > hay.size()) return 0;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (iequal(hay.substr(i, needle.size()), needle)) return i + 1;
  return 0;
}

std::string_view right(std::string_view text, std::size_t n) {
  return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string_view left(std::string_view text, std::size_t n) { return text.substr(0, n); }

std::string_view from_position(std::string_view text, std::size_t start) {
  if (start < 1) start = 1;
  return start > text.size() ? std::string_view{} : text.substr(start - 1);
}

std::string pad_right(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

namespace {

// A number of more digits than a double holds: the largest double of its
// sign when its whole part has a digit other than 0, else 0.
double beyond_range(std::string_view number) {
  const bool negative = number.front() == '-';
  const std::string_view whole = number.substr(0, number.find('.'));
  if (whole.find_first_of("123456789") == std::string_view::npos) return 0;
  const double largest = std::numeric_limits<double>::max();
  return negative ? -largest : largest;
}

}  // namespace

double numeric_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string number;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool point = false, digits = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    number += c;
  }
  if (!digits) return 0;
  if (number.back() == '.') number.pop_back();
  double value = 0;
  // from_chars ignores the process locale, which a window toolkit may change.
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) return beyond_range(number);
  return value == 0 ? 0 : value;
}

std::string number_to_text(double value, const RunSettings& settings) {
  return fixed_text(value, std::nearbyint(value) == value && std::fabs(value) < 1e15
                               ? 0
                               : settings.decimals);
}

std::string fixed_text(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  if (std::isfinite(value) && std::fabs(value * scale) < 9e15) {
    // Half away from zero, with a nudge of a few ulps so that 0.125 written
    // in binary as 0.12499... still rounds up as a person expects.
    const double scaled = value * scale;
    const long long n = std::llround(scaled + std::copysign(std::fabs(scaled) * 4e-16, scaled));
    std::string digits = std::to_string(n < 0 ? -n : n);
    if (decimals > 0) {
      if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
      digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return (n < 0 ? "-" : "") + digits;
  }
  char buf[400];
  // to_chars ignores the process locale, which a window toolkit may change.
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

namespace {
// Code points of 0x80..0x9F in Windows-1252; 0 marks the five unassigned bytes.
constexpr std::array<std::uint16_t, 32> kHigh{
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void put_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string cp1252_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) put_utf8(out, cp1252_code_point(static_cast<unsigned char>(ch)));
  return out;
}

std::uint32_t cp1252_code_point(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) return kHigh[byte - 0x80];
  return byte;
}

std::string utf8_to_cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = b;
    std::size_t len = 1;
    if (b >= 0xC0 && b < 0xE0 && i + 1 < utf8.size()) {
      cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      len = 2;
    } else if (b >= 0xE0 && b < 0xF0 && i + 2 < utf8.size()) {
      cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
           (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
      len = 3;
    } else if (b >= 0xF0) {
      len = 4;
      cp = '?';
    }
    i += len;
    // ASCII, Latin-1 and the five bytes Windows-1252 leaves unassigned stand
    // for themselves both ways.
    if (cp <= 0xFF && cp1252_code_point(static_cast<unsigned char>(cp)) == cp) {
      out += static_cast<char>(cp);
      continue;
    }
    char mapped = '?';
    for (std::size_t k = 0; k < kHigh.size(); ++k)
      if (kHigh[k] == cp) mapped = static_cast<char>(0x80 + k);
    out += mapped;
  }
  return out;
}

}  // namespace tarvo
