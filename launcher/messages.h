#pragma once

#include <string_view>

#include "engine/messages.h"
#include "runtime/run_settings.h"
#include "ui/dialogs.h"

namespace tarvo {

inline constexpr std::string_view kTituloErro = " -= TarvoUSB =- ";
inline constexpr std::string_view kTituloConf = "   TARVO Sistemas";

// The program's message boxes on the windowing layer.
class LauncherMessages final : public Messages {
 public:
  LauncherMessages(ui::Dialogs& dialogs, const RunSettings& settings)
      : dialogs_(dialogs), settings_(settings) {}

  // Stop box titled " -= TarvoUSB =- "; numbers in digits, logicals as .T./.F.
  void G_ERRO(const Value& message) override;
  void alert(std::string_view message) override;
  // Tone, then a yes/no question titled "   TARVO Sistemas" with " ?     "
  // appended; Yes is the default only when the default answer is "S".
  bool G_CONF(std::string_view question, std::string_view default_answer = "N") override;

 private:
  ui::Dialogs& dialogs_;
  const RunSettings& settings_;
};

}  // namespace tarvo
