#include "launcher/system_classes.h"

namespace tarvo {

std::unique_ptr<AutomationRegistry> make_system_automation() {
  auto registry = std::make_unique<AutomationRegistry>();
  register_system_classes(*registry);
  return registry;
}

}  // namespace tarvo
