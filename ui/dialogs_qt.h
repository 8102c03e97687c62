#pragma once

#include <memory>

#include "ui/dialogs.h"

namespace tarvo::ui {

// The boxes and the text pop-up on Qt Widgets. Qt must be running.
std::unique_ptr<Dialogs> make_qt_dialogs();

}  // namespace tarvo::ui
