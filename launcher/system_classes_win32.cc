#include "launcher/system_classes.h"

namespace tarvo {
namespace {

constexpr std::string_view kSlipClass = "CobreBemX.ContaCorrente";

}  // namespace

// The slip component does not print on Windows yet. Its class is known, so
// that a slip file ends in a stop box that says so rather than in one about
// an unknown class.
void register_system_classes(AutomationRegistry& registry) {
  registry.add(kSlipClass, []() -> std::shared_ptr<AutomationClass> {
    throw AutomationException(
        "A impressão de boletos ainda não está disponível no TarvoUSB para Windows; nenhum boleto foi impresso.",
        "TarvoUSB");
  });
}

}  // namespace tarvo
