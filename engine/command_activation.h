#pragma once

#include <optional>
#include <string_view>

namespace tarvo {

struct JobState;

// Applies a string of two-character printer command codes to the page model
// OPRINTER of the job: bold, italic and underline on and off, pitch 10, 12,
// 17 or 20 characters per inch, 6 or 8 lines per inch. Codes come one after
// another with no separator; a blank pair ends them. After the codes, the
// item's own font is selected when it has a name, a point size and a height.
// The position values change nothing on the page; they reach NEGRITO and
// TIRA_NEGRITO as the item's position.
void ATIVAR_NA_IMPRESSORA(JobState& job, double row, double column, std::string_view commands,
                          std::optional<double> row_override = std::nullopt,
                          std::optional<double> column_override = std::nullopt,
                          std::optional<std::string_view> spacing = std::nullopt,
                          std::optional<double> spacing_column = std::nullopt,
                          std::optional<std::string_view> font_name = std::nullopt,
                          std::optional<double> point_size = std::nullopt,
                          std::optional<double> height = std::nullopt,
                          std::optional<double> width = std::nullopt);

// Bold on (weight 800).
void NEGRITO(JobState& job, double row, double column);

// Bold off (weight 0, drawn as normal).
void TIRA_NEGRITO(JobState& job, double row, double column,
                  std::optional<std::string_view> spacing,
                  std::optional<double> spacing_column);

// A pitch or line-spacing setting of a command record: a two-character code
// ("10", "12", "17", "20", "6L", "8L", the spacing codes in either letter
// case) or its long name ("VI10CPI" ... "VI8LPP", any letter case).
void ATIVA_TAM_ALT_DA_LETRA(JobState& job, std::string_view setting);

// True when ATIVA_TAM_ALT_DA_LETRA acts on `setting`: it names a pitch or a
// line spacing.
bool is_pitch_or_spacing(std::string_view setting);

}  // namespace tarvo
