#include "ui/text_popup_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "runtime/wide_text.h"
#include "ui/win32_handles.h"

namespace tarvo::ui {
namespace {

constexpr wchar_t kPopupClass[] = L"TarvoUSB.Popup";
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
constexpr int kMargin = 3;
// Posted to itself once shown: whoever showed it may give the focus back to
// its own window first (the chooser does), and the keys belong to the pop-up.
constexpr UINT kTakeInput = WM_APP + 1;

// "Face, points, ..." as a face and a size in points (8 when none is given).
std::pair<std::wstring, int> parse_font(std::string_view desc) {
  const std::size_t comma = desc.find(',');
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  const std::string face(trim(desc.substr(0, comma)));
  int points = 0;
  if (comma != std::string_view::npos) {
    for (const char c : trim(desc.substr(comma + 1))) {
      if (c < '0' || c > '9') break;
      points = std::min(points * 10 + (c - '0'), 500);
    }
  }
  return {wide_from_utf8(face), points > 0 ? points : 8};
}

// The text with "\r\n" and lone "\r" as the single line breaks DrawText
// expects.
std::wstring plain_lines(std::string_view text) {
  std::wstring out = wide_from_utf8(text);
  std::erase(out, L'\r');
  return out;
}

class Win32TextPopup final : public TextPopup {
 public:
  Win32TextPopup(std::string_view text, Point at, std::string_view font) : text_(plain_lines(text)) {
    register_window_class(kPopupClass, proc, COLOR_INFOBK);
    window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, L"TarvoUSB - Ajuda",
                                  WS_POPUP | WS_BORDER, at.x, at.y, 1, 1, GetActiveWindow(), nullptr,
                                  GetModuleHandleW(nullptr), this));
    if (!window_) return;
    const int dpi = window_dpi(window_.get());
    const auto [face, points] = parse_font(font);
    font_ = make_font(face.c_str(), MulDiv(points, 96, 72), dpi);
    place(at, measure(dpi));
    ShowWindow(window_.get(), SW_SHOW);
    PostMessageW(window_.get(), kTakeInput, 0, 0);
  }

  bool open() const override { return window_ && IsWindow(window_.get()); }

 private:
  SIZE measure(int dpi) {
    const HDC dc = GetDC(window_.get());
    const HGDIOBJ old = SelectObject(dc, font_.get());
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r, kTextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(window_.get(), dc);
    const int pad = 2 * (scaled(kMargin, dpi) + GetSystemMetrics(SM_CXBORDER));
    return {r.right - r.left + pad, r.bottom - r.top + pad};
  }

  void place(Point at, SIZE size) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{at.x, at.y}, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const int x = std::max<int>(area.left, std::min<int>(at.x, area.right - size.cx));
    const int y = std::max<int>(area.top, std::min<int>(at.y, area.bottom - size.cy));
    SetWindowPos(window_.get(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE);
  }

  void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    const int margin = scaled(kMargin, window_dpi(hwnd));
    InflateRect(&r, -margin, -margin);
    const HGDIOBJ old = SelectObject(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r, kTextFormat);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
  }

  void take_input() {
    SetActiveWindow(window_.get());
    SetFocus(window_.get());
    SetCapture(window_.get());
    has_input_ = true;
  }

  void close() {
    if (GetCapture() == window_.get()) ReleaseCapture();
    window_.reset();
  }

  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<Win32TextPopup*>(window_object(hwnd, message, lparam));
    if (self == nullptr || !self->window_) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_PAINT:
        self->paint(hwnd);
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        self->close();
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(self->font_.get());
      case kTakeInput:
        self->take_input();
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE && self->has_input_) self->close();
        return 0;
      default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  std::wstring text_;
  bool has_input_ = false;
  GdiObject font_;
  WindowHandle window_;
};

}  // namespace

std::unique_ptr<TextPopup> show_text_popup(std::string_view text, Point at, std::string_view font) {
  auto popup = std::make_unique<Win32TextPopup>(text, at, font);
  if (!popup->open()) return nullptr;
  return popup;
}

}  // namespace tarvo::ui
