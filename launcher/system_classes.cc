#include "launcher/system_classes.h"

#include "component/conta_corrente.h"

namespace tarvo {

void register_system_classes(AutomationRegistry& registry) {
  component::register_slip_component(registry);
}

std::unique_ptr<AutomationRegistry> make_system_automation() {
  auto registry = std::make_unique<AutomationRegistry>();
  register_system_classes(*registry);
  return registry;
}

}  // namespace tarvo
