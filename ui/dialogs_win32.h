#pragma once

#include <memory>

#include "ui/dialogs.h"

namespace tarvo::ui {

// The boxes of the Windows user interface, owned by the active window of
// the program when there is one.
std::unique_ptr<Dialogs> make_win32_dialogs();

}  // namespace tarvo::ui
