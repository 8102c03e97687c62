#pragma once

#include <memory>

#include "printing/automation.h"

namespace tarvo {

// The automation classes this program offers its jobs: on Linux the
// program's own slip component; on Windows, for now, a stand-in that says
// slips cannot be printed there yet.
std::unique_ptr<AutomationRegistry> make_system_automation();

// The registration point: each component adds its classes here, in the
// platform's file (system_classes_<platform>.cc).
void register_system_classes(AutomationRegistry& registry);

}  // namespace tarvo
