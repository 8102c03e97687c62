#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/run_settings.h"

namespace tarvo {

// Plain text equality with exact comparison off: the left text is equal when
// it begins with the right one, so an empty right text equals everything.
// This is the one place that rule lives; every "equal" or "begins with" of
// the print file language goes through it.
bool text_equal(std::string_view left, std::string_view right);

// Equality of whole texts (the strict test).
inline bool exact_equal(std::string_view left, std::string_view right) { return left == right; }

// The comparison that the run's settings select.
inline bool text_equal(std::string_view left, std::string_view right, const RunSettings& s) {
  return s.exact ? exact_equal(left, right) : text_equal(left, right);
}

std::string_view trim(std::string_view text);   // blanks at both ends
std::string_view ltrim(std::string_view text);
std::string_view rtrim(std::string_view text);
bool is_blank(std::string_view text);           // empty or only blanks

// Letter case of the 7-bit letters only: texts are single-byte and markers
// are plain ASCII, so nothing else needs folding.
std::string upper(std::string_view text);
std::string lower(std::string_view text);
bool iequal(std::string_view a, std::string_view b);

// Finds `needle` in `hay` ignoring letter case; 1-based position, 0 when absent.
std::size_t ifind(std::string_view hay, std::string_view needle);

// The last `n` characters (the whole text when shorter).
std::string_view right(std::string_view text, std::size_t n);
// The first `n` characters (the whole text when shorter).
std::string_view left(std::string_view text, std::size_t n);
// The characters from 1-based position `start` on (empty past the end).
std::string_view from_position(std::string_view text, std::size_t start);

// Blank-padded or cut to exactly `width` characters.
std::string pad_right(std::string_view text, std::size_t width);

// The numeric value of a text: leading blanks skipped, an optional sign,
// digits with at most one point; reading stops at the first character that
// cannot continue the number. No number at all gives 0; a number beyond a
// double's range gives the largest double of its sign (0 for one too small).
double numeric_value(std::string_view text);

// A number as text: whole numbers in plain digits, others with the run's
// decimals.
std::string number_to_text(double value, const RunSettings& settings);

// A number with a point and exactly `decimals` decimals, rounded half away
// from zero as the runtime's own formatting does; no thousands separator.
std::string fixed_text(double value, int decimals);

// Windows-1252 bytes (the print file's code page) to UTF-8 for display and
// drawing, and back for texts that the program composes.
std::string cp1252_to_utf8(std::string_view bytes);
// The Unicode code point of one Windows-1252 byte; the five unassigned bytes
// stand for themselves.
std::uint32_t cp1252_code_point(unsigned char byte);
std::string utf8_to_cp1252(std::string_view utf8);

}  // namespace tarvo
