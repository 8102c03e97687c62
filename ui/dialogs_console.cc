#include <cstdio>

#include "ui/dialogs.h"

namespace tarvo::ui {
namespace {
void block(std::string_view title, std::string_view text) {
  std::string out;
  out.reserve(title.size() + text.size() + 3);
  out.append(title).append(": ").append(text).append("\n");
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
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
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace tarvo::ui
