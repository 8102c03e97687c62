#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tarvo::ui {

// Owners of the GDI objects and windows the Win32 windows create.
struct GdiObjectDelete {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct WindowDestroy {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDelete>;
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroy>;

// The dots per inch of the monitor a window is on (96 where the system
// cannot tell), and a length of 96-dpi pixels at that resolution.
int window_dpi(HWND window);
inline int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// A font by face and character height in 96-dpi pixels.
GdiObject make_font(const wchar_t* face, int pixel_height, int dpi);

}  // namespace tarvo::ui
