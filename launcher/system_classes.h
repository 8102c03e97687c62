#pragma once

#include <memory>

#include "printing/automation.h"

namespace tarvo {

// The automation classes this program offers its jobs. On Linux that is the
// program's own slip component; until it is registered here the registry is
// empty and every creation fails as an unknown class.
std::unique_ptr<AutomationRegistry> make_system_automation();

// The registration point: each component adds its classes here.
void register_system_classes(AutomationRegistry& registry);

}  // namespace tarvo
