#pragma once

#include <memory>

#include "ui/window.h"

namespace tarvo::ui {

// A window on Qt Widgets. Qt must be running (a QApplication exists).
std::unique_ptr<Window> make_qt_window(const WindowDesc& desc);

}  // namespace tarvo::ui
