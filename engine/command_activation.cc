#include "engine/command_activation.h"

#include <array>
#include <utility>

#include "engine/job_state.h"
#include "printing/dot_count.h"
#include "printing/win32prn.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr int kBoldWeight = 800;
constexpr double kPitchPointSize = 11;
constexpr const char* kPitchFace = "Courier New";

// A pitch code selects the same face and size every time: the pitch rides on
// the width argument, and weight 0 with underline and italic off resets the
// attributes too.
void select_pitch(WIN32PRN& printer, double characters_per_inch) {
  printer.SetFont(kPitchFace, kPitchPointSize, characters_per_inch, 0, false, false, 0);
}

// The item's width field, used as a weight: any number the file holds,
// held like a dot count so that it converts safely.
int item_weight(double width) { return held_dots(width); }

void set_lines_per_inch(WIN32PRN& printer, int lines) {
  printer.LineHeight = printer.PixelsPerInchY / lines;
}

void apply_code(JobState& job, std::string_view code, double row, double column,
                std::optional<std::string_view> spacing, std::optional<double> spacing_column) {
  WIN32PRN& printer = *job.OPRINTER;
  if (code == "NI") NEGRITO(job, row, column);
  else if (code == "ND") TIRA_NEGRITO(job, row, column, spacing, spacing_column);
  else if (code == "II") printer.Italic(true);
  else if (code == "ID") printer.Italic(false);
  else if (code == "SI") printer.UnderLine(true);
  else if (code == "SD") printer.UnderLine(false);
  else if (code == "10") select_pitch(printer, 10);
  else if (code == "12") select_pitch(printer, 12);
  else if (code == "17") select_pitch(printer, 17);
  else if (code == "20") select_pitch(printer, 20);
  else if (code == "6L") set_lines_per_inch(printer, 6);
  else if (code == "8L") set_lines_per_inch(printer, 8);
  // "EI", "ED" (expanded) and "CP" (paper cut) are known and do nothing on
  // a page; any other pair is skipped.
}

// The command code that a pitch or spacing setting names: the short codes
// become their long names, and a long name in any letter case gives its code.
std::optional<std::string_view> setting_code(std::string_view setting) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kLongNames{{
      {"VI10CPI", "10"}, {"VI12CPI", "12"}, {"VI17CPI", "17"},
      {"VI20CPI", "20"}, {"VI6LPP", "6L"},  {"VI8LPP", "8L"},
  }};
  std::string value(trim(setting));
  if (value.size() == 2) {
    if (value == "10" || value == "12" || value == "17" || value == "20") {
      value = "vi" + value + "cpi";
    } else if (iequal(value, "6L") || iequal(value, "8L")) {
      value = "vi" + lower(value.substr(0, 1)) + "lpp";
    }
  }
  value = upper(trim(value));
  for (const auto& [long_name, code] : kLongNames) {
    if (value == long_name) return code;
  }
  return std::nullopt;
}

}  // namespace

void ATIVAR_NA_IMPRESSORA(JobState& job, double row, double column, std::string_view commands,
                          std::optional<double> row_override,
                          std::optional<double> column_override,
                          std::optional<std::string_view> spacing,
                          std::optional<double> spacing_column,
                          std::optional<std::string_view> font_name,
                          std::optional<double> point_size, std::optional<double> height,
                          std::optional<double> width) {
  if (!job.OPRINTER) return;
  const double at_row = row_override.value_or(row);
  const double at_column = column_override.value_or(column);
  const std::string_view name = font_name.value_or("");
  const double size = point_size.value_or(0);
  const double font_height = height.value_or(0);
  const double font_width = width.value_or(0);

  for (std::size_t at = 0; at < commands.size(); at += 2) {
    const std::string_view code = commands.substr(at, 2);
    if (is_blank(code)) break;
    apply_code(job, code, at_row, at_column, spacing, spacing_column);
  }

  // The item's font: its height rides on the width argument (N characters
  // per inch) and its width on the weight argument, as the print files
  // have always given them.
  if (!name.empty() && size > 0 && font_height > 0) {
    job.OPRINTER->SetFont(name, size, font_height, item_weight(font_width),
                          false, false, 0);
  }
}

void NEGRITO(JobState& job, double, double) {
  if (job.OPRINTER) job.OPRINTER->Bold(kBoldWeight);
}

void TIRA_NEGRITO(JobState& job, double, double, std::optional<std::string_view>,
                  std::optional<double>) {
  if (job.OPRINTER) job.OPRINTER->Bold(0);
}

void ATIVA_TAM_ALT_DA_LETRA(JobState& job, std::string_view setting) {
  job.W_PROW = 0;
  job.W_PCOL = 0;
  if (const auto code = setting_code(setting)) ATIVAR_NA_IMPRESSORA(job, 0, 0, *code);
}

bool is_pitch_or_spacing(std::string_view setting) { return setting_code(setting).has_value(); }

}  // namespace tarvo
