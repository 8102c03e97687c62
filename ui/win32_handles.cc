#include "ui/win32_handles.h"

namespace tarvo::ui {

int window_dpi(HWND window) {
  // Windows before 10 has no per-window resolution: the screen's stands in.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpi_for_window != nullptr && window != nullptr) {
    if (const UINT dpi = dpi_for_window(window); dpi != 0) return static_cast<int>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void register_window_class(const wchar_t* name, WNDPROC proc, int background) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = proc;
  c.hInstance = GetModuleHandleW(nullptr);
  c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
  c.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  c.lpszClassName = name;
  RegisterClassExW(&c);  // fails harmlessly once registered
}

void* window_object(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  void* object = reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return object;
}

void run_messages(const std::function<bool()>& ended, const std::function<void()>& end,
                  const std::function<bool(const MSG&)>& take) {
  MSG msg;
  while (!ended()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      end();
      return;
    }
    if (take && take(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

GdiObject make_font(const wchar_t* face, int pixel_height, int dpi) {
  LOGFONTW f{};
  f.lfHeight = -scaled(pixel_height, dpi);  // negative: the characters' height, not the cell's
  f.lfWeight = FW_NORMAL;
  f.lfCharSet = DEFAULT_CHARSET;
  f.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(f.lfFaceName, face, LF_FACESIZE);
  return GdiObject(CreateFontIndirectW(&f));
}

}  // namespace tarvo::ui
