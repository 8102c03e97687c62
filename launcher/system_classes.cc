#include "launcher/system_classes.h"

namespace tarvo {

void register_system_classes(AutomationRegistry& /*registry*/) {
  // The slip component registers "CobreBemX.ContaCorrente" here, e.g.
  //   registry.add("CobreBemX.ContaCorrente", make_slip_component, kSlipComponentClassId);
}

std::unique_ptr<AutomationRegistry> make_system_automation() {
  auto registry = std::make_unique<AutomationRegistry>();
  register_system_classes(*registry);
  return registry;
}

}  // namespace tarvo
