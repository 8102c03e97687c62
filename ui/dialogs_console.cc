#include <string>

#include "ui/dialogs.h"
#include "ui/standard_error.h"

namespace tarvo::ui {
namespace {
void block(std::string_view title, std::string_view text) {
  std::string out;
  out.reserve(title.size() + text.size() + 3);
  out.append(title).append(": ").append(text).append("\n");
  write_standard_error(out);
}
}  // namespace

void ConsoleDialogs::message(Icon, std::string_view title, std::string_view text) {
  block(title, text);
}

bool ConsoleDialogs::ask_yes_no(std::string_view title, std::string_view text, bool default_yes) {
  block(title, text);
  return default_yes;
}

void ConsoleDialogs::text_popup(std::string_view text, Point, std::string_view) {
  write_standard_error(std::string(text) + "\n");
}

}  // namespace tarvo::ui
