#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <type_traits>

namespace tarvo::ui {

// Owners of the GDI objects and windows the Win32 windows create, and what
// every window of the program does alike.
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

// Registers a window class of the program with the system colour `background`
// and the program's icon; registering it again changes nothing.
void register_window_class(const wchar_t* name, WNDPROC proc, int background);

// The object a window was created for (the creation parameter), kept from
// WM_NCCREATE on; null before, and after WM_NCDESTROY.
void* window_object(HWND window, UINT message, LPARAM lparam);

// A window's event loop: dispatches the thread's messages until `ended`
// says so. `take` may keep a message from being dispatched (true: taken). A
// quit request is the whole program's: the window ends (`end`) and the
// request is passed on.
void run_messages(const std::function<bool()>& ended, const std::function<void()>& end,
                  const std::function<bool(const MSG&)>& take = {});

// A font by face and character height in 96-dpi pixels.
GdiObject make_font(const wchar_t* face, int pixel_height, int dpi);

}  // namespace tarvo::ui
