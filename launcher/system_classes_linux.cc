#include "component/conta_corrente.h"
#include "launcher/system_classes.h"

namespace tarvo {

void register_system_classes(AutomationRegistry& registry) {
  component::register_slip_component(registry);
}

}  // namespace tarvo
