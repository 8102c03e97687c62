#pragma once

#include <memory>

#include "printing/automation.h"

namespace tarvo {

// The automation classes this program offers its jobs: the program's own
// slip component.
std::unique_ptr<AutomationRegistry> make_system_automation();

// The registration point: each component adds its classes here.
void register_system_classes(AutomationRegistry& registry);

}  // namespace tarvo
