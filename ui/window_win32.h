#pragma once

#include <memory>

#include "ui/window.h"

namespace tarvo::ui {

// A window of plain Win32 common controls. Its bitmaps are BITMAP resources
// of the program (resources/tarvousb.rc), found by the names the caller gives.
std::unique_ptr<Window> make_win32_window(const WindowDesc& desc);

}  // namespace tarvo::ui
