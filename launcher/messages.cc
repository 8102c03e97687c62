#include "launcher/messages.h"

#include <string>

namespace tarvo {

void LauncherMessages::G_ERRO(const Value& message) {
  dialogs_.message(ui::Icon::stop, kTituloErro, display_text(message, settings_));
}

void LauncherMessages::alert(std::string_view message) {
  dialogs_.message(ui::Icon::exclamation, kTituloErro, message);
}

bool LauncherMessages::G_CONF(std::string_view question, std::string_view default_answer) {
  // 900 Hz for two clock ticks of 1/18.2 second.
  dialogs_.tone(900, 110);
  const std::string text = std::string(question) + " ?     ";
  return dialogs_.ask_yes_no(kTituloConf, text, default_answer == "S");
}

}  // namespace tarvo
