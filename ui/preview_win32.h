#pragma once

#include <memory>

#include "ui/preview.h"

namespace tarvo::ui {

// A preview window of Win32 controls, modal over the window that is active
// when it is made. Null when the system refuses the window.
std::unique_ptr<PreviewWindow> make_win32_preview(const PreviewDesc& desc);

}  // namespace tarvo::ui
