#pragma once

#include <optional>
#include <string_view>

namespace tarvo {

struct JobState;

// The nineteen positional values of one item to place, in their order. The
// first three are always given; any later one may be absent, and an absent
// number is no number at all, not 0. Texts are views of the print file.
struct SayItem {
  double row = 0;                                  // 1
  double column = 0;                               // 2
  std::string_view text{};                           // 3 may be empty
  std::optional<std::string_view> before{};          // 4 codes before the text, trimmed
  std::optional<std::string_view> after{};           // 5 codes after the text, trimmed
  std::optional<double> row_before{};                // 6
  std::optional<double> column_before{};             // 7
  std::optional<double> row_after{};                 // 8
  std::optional<double> column_after{};              // 9
  std::optional<std::string_view> spacing{};         // 10 WESPACO
  std::optional<double> spacing_column{};            // 11 WCOL
  std::optional<std::string_view> font_before{};     // 12 WFONTEWINDOWS, trimmed
  std::optional<double> size_before{};               // 13 WTAMANHOFONTE
  std::optional<double> height_before{};             // 14 WALTURAFONTE
  std::optional<std::string_view> font_after{};      // 15 WFONTEWINDOWSDEPOIS, trimmed
  std::optional<double> size_after{};                // 16 WTAMANHOFONTEDEPOIS
  std::optional<double> height_after{};              // 17 WALTURAFONTEDEPOIS
  std::optional<double> width_after{};               // 18 WLARGURAFONTEDEPOIS
  std::optional<double> width_before{};              // 19 WLARGURAFONTE
};

// Puts one item on the current page of OPRINTER: its before codes (with the
// before font), the text one row below the item's row at its column, then
// its after codes (with the after font). A command-only item (empty text)
// still moves the print position.
void IMP_SAY(JobState& job, const SayItem& item);

}  // namespace tarvo
