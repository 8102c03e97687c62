#include "ui/preview_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <list>
#include <string>

#include "runtime/wide_text.h"
#include "ui/preview_view.h"
#include "ui/win32_handles.h"

namespace tarvo::ui {
namespace {

using Zoom = PreviewView::Zoom;

constexpr wchar_t kPreviewClass[] = L"TarvoUSB.Preview";
constexpr wchar_t kPageClass[] = L"TarvoUSB.PreviewPage";
constexpr int kMargin = 12;     // grey around the page, in pixels
constexpr int kLineStep = 40;   // pixels an arrow key or wheel notch scrolls
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNoteColour = RGB(255, 248, 200);

enum Command : int {
  print_command = 200,
  close_command,
  previous_command,
  next_command,
  fit_page_command,
  fit_width_command,
  actual_size_command,
};

Zoom zoom_of(int command) {
  switch (command) {
    case fit_width_command: return Zoom::fit_width;
    case actual_size_command: return Zoom::actual_size;
    default: return Zoom::fit_page;
  }
}

// The primary monitor's work area holds the whole window.
RECT placed(const Rect& frame) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min(frame.width(), static_cast<int>(work.right - work.left));
  const int height = std::min(frame.height(), static_cast<int>(work.bottom - work.top));
  const int left = std::clamp(frame.left, static_cast<int>(work.left), static_cast<int>(work.right) - width);
  const int top = std::clamp(frame.top, static_cast<int>(work.top), static_cast<int>(work.bottom) - height);
  return RECT{left, top, left + width, top + height};
}

class Win32Preview final : public PreviewWindow {
 public:
  explicit Win32Preview(const PreviewDesc& desc)
      : desc_(desc), view_(desc.pages != nullptr ? desc.pages->page_count() : 0), owner_(GetActiveWindow()) {
    register_window_class(kPreviewClass, window_proc, COLOR_BTNFACE);
    register_window_class(kPageClass, page_proc, COLOR_GRAYTEXT);
    const RECT at = placed(desc.frame);
    window_.reset(CreateWindowExW(0, kPreviewClass, wide_from_utf8(desc.title).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.left, at.top, at.right - at.left,
                                  at.bottom - at.top, owner_, nullptr, GetModuleHandleW(nullptr), this));
    if (!window_) return;
    dpi_ = window_dpi(window_.get());
    ui_font_ = make_font(L"Tahoma", 12, dpi_);
    big_font_ = make_font(L"Tahoma", 24, dpi_);
    build_bar();
    build_status();
    if (!desc.note.empty()) {
      note_ = CreateWindowExW(0, L"STATIC", wide_from_utf8(desc.note).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                              0, 0, 0, 0, window_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
      SendMessageW(note_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font_.get()), FALSE);
    }
    page_ = CreateWindowExW(WS_EX_CLIENTEDGE, kPageClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                            0, 0, 0, 0, window_.get(), nullptr, GetModuleHandleW(nullptr), this);
    note_brush_.reset(CreateSolidBrush(kNoteColour));
    grey_.reset(CreateSolidBrush(kGrey));
  }

  ~Win32Preview() override {
    end();
    window_.reset();
  }

  bool created() const { return static_cast<bool>(window_) && page_ != nullptr; }

  void show() override {
    if (ended_) return;
    // Modal over the program's other windows, as the chooser's boxes are.
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    SetForegroundWindow(window_.get());
    layout();
    SetFocus(page_);
  }

  void run() override {
    show();
    run_messages([this] { return ended_; }, [this] { end(); });
  }

  void end() override {
    if (ended_) return;
    ended_ = true;
    // The owner takes over again before this window goes, so that the
    // system gives it the activation back.
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    ShowWindow(window_.get(), SW_HIDE);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  }

  bool ended() const override { return ended_; }

 private:
  void build_bar() {
    bar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                           WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP | CCS_NODIVIDER, 0, 0, 0,
                           0, window_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageW(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font_.get()), FALSE);
    const PreviewWords& w = desc_.words;
    add_button(print_command, w.print, BTNS_BUTTON, desc_.can_print);
    add_button(close_command, w.close, BTNS_BUTTON, true);
    add_button(0, "", BTNS_SEP, true);
    add_button(previous_command, w.previous, BTNS_BUTTON, false);
    add_button(next_command, w.next, BTNS_BUTTON, false);
    add_button(0, "", BTNS_SEP, true);
    const bool pages = view_.count() > 0;
    add_button(fit_page_command, w.fit_page, BTNS_CHECKGROUP, pages);
    add_button(fit_width_command, w.fit_width, BTNS_CHECKGROUP, pages);
    add_button(actual_size_command, w.actual_size, BTNS_CHECKGROUP, pages);
    SendMessageW(bar_, TB_CHECKBUTTON, fit_page_command, TRUE);
  }

  void add_button(int command, const std::string& text, BYTE style, bool enabled) {
    captions_.push_back(wide_from_utf8(text));
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = command;
    b.fsState = enabled ? TBSTATE_ENABLED : 0;
    b.fsStyle = static_cast<BYTE>(style | BTNS_AUTOSIZE | BTNS_SHOWTEXT | BTNS_NOPREFIX);
    b.iString = style == BTNS_SEP ? 0 : reinterpret_cast<INT_PTR>(captions_.back().c_str());
    SendMessageW(bar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
  }

  // The counter and the scale, below the page.
  void build_status() {
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_.get(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_font_.get()), FALSE);
    const int parts[] = {scaled(200, dpi_), -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }

  void set_status(int part, const std::string& text) {
    SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(wide_from_utf8(text).c_str()));
  }

  static int height_of(HWND child) {
    RECT r{};
    if (child != nullptr) GetWindowRect(child, &r);
    return r.bottom - r.top;
  }

  void layout() {
    if (!window_ || page_ == nullptr) return;
    RECT client;
    GetClientRect(window_.get(), &client);
    SendMessageW(bar_, TB_AUTOSIZE, 0, 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
    int top = height_of(bar_);
    if (note_ != nullptr) {
      const int note_height = scaled(28, dpi_);
      MoveWindow(note_, 0, top, client.right, note_height, TRUE);
      top += note_height;
    }
    const int bottom = client.bottom - height_of(status_);
    MoveWindow(page_, 0, top, client.right, std::max(0, bottom - top), TRUE);
    show_page();
  }

  double actual_size() const { return dpi_ / 72.0; }

  double pixels_per_point() const {
    RECT room;
    GetClientRect(page_, &room);
    // The client area shrinks by the bars it shows: measure without them.
    const LONG style = GetWindowLongW(page_, GWL_STYLE);
    if ((style & WS_VSCROLL) != 0) room.right += GetSystemMetrics(SM_CXVSCROLL);
    if ((style & WS_HSCROLL) != 0) room.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return view_.pixels_per_point(desc_.pages->page_size(view_.shown()),
                                  {double(room.right - 2 * kMargin), double(room.bottom - 2 * kMargin),
                                   double(GetSystemMetrics(SM_CXVSCROLL))},
                                  actual_size());
  }

  // Draws the page shown at the current scale and sets the bars around it.
  void show_page() {
    SendMessageW(bar_, TB_ENABLEBUTTON, previous_command, view_.has_previous());
    SendMessageW(bar_, TB_ENABLEBUTTON, next_command, view_.has_next());
    set_status(0, view_.counter(desc_.words));
    image_ = nullptr;
    if (view_.count() > 0) {
      const double ppp = pixels_per_point();
      image_ = &kept_.image_of(view_.shown(), ppp,
                               [this](std::size_t page, double scale) { return desc_.pages->render(page, scale); });
      set_status(1, view_.zoom_text(ppp, actual_size()));
    }
    set_scroll_bars();
    InvalidateRect(page_, nullptr, TRUE);
  }

  SIZE content_size() const {
    if (image_ == nullptr) return {0, 0};
    return {image_->width + 2 * kMargin, image_->height + 2 * kMargin};
  }

  void set_scroll_bars() {
    // Twice: showing one bar takes room that may call for the other.
    for (int round = 0; round < 2; ++round) {
      RECT client;
      GetClientRect(page_, &client);
      const SIZE content = content_size();
      SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, int(content.cx) - 1),
                   static_cast<UINT>(client.right), scroll_.x, 0};
      SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, int(content.cy) - 1),
                   static_cast<UINT>(client.bottom), scroll_.y, 0};
      scroll_.x = SetScrollInfo(page_, SB_HORZ, &h, TRUE);
      scroll_.y = SetScrollInfo(page_, SB_VERT, &v, TRUE);
    }
  }

  void scroll_to(int bar, int position) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, position, 0};
    const int now = SetScrollInfo(page_, bar, &info, TRUE);
    (bar == SB_HORZ ? scroll_.x : scroll_.y) = now;
    InvalidateRect(page_, nullptr, TRUE);
  }

  void scroll_by(int bar, int delta) { scroll_to(bar, (bar == SB_HORZ ? scroll_.x : scroll_.y) + delta); }

  void on_scroll(int bar, WPARAM wparam) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(page_, bar, &info);
    int position = info.nPos;
    switch (LOWORD(wparam)) {
      case SB_LINEUP: position -= kLineStep; break;
      case SB_LINEDOWN: position += kLineStep; break;
      case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
      case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: position = info.nTrackPos; break;
      case SB_TOP: position = info.nMin; break;
      case SB_BOTTOM: position = info.nMax; break;
      default: return;
    }
    scroll_to(bar, position);
  }

  void paint_page(HWND hwnd) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    if (image_ == nullptr) {
      FillRect(dc, &client, static_cast<HBRUSH>(grey_.get()));
      if (view_.count() == 0) {
        const HGDIOBJ old = SelectObject(dc, big_font_.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        const std::wstring nothing = wide_from_utf8(desc_.words.nothing_to_print);
        DrawTextW(dc, nothing.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
      }
      EndPaint(hwnd, &ps);
      return;
    }
    // A page smaller than the room stands in its middle.
    const SIZE content = content_size();
    const int left = std::max(0, int(client.right - content.cx) / 2) - scroll_.x + kMargin;
    const int top = std::max(0, int(client.bottom - content.cy) / 2) - scroll_.y + kMargin;
    const RECT page{left, top, left + image_->width, top + image_->height};
    const HRGN around = CreateRectRgnIndirect(&client);
    const HRGN sheet = CreateRectRgnIndirect(&page);
    CombineRgn(around, around, sheet, RGN_DIFF);
    FillRgn(dc, around, static_cast<HBRUSH>(grey_.get()));
    DeleteObject(sheet);
    DeleteObject(around);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image_->width;
    info.bmiHeader.biHeight = -image_->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(image_->width), static_cast<DWORD>(image_->height), 0, 0, 0,
                      static_cast<UINT>(image_->height), image_->pixels.data(), &info, DIB_RGB_COLORS);
    EndPaint(hwnd, &ps);
  }

  // The window's keys; the page has the focus whenever the window has it.
  bool key(WPARAM vk) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    switch (vk) {
      case VK_ESCAPE: end(); return true;
      case 'I': print(); return true;
      case 'P':
        if (!control) return false;
        print();
        return true;
      case VK_PRIOR: turned(view_.previous()); return true;
      case VK_NEXT: turned(view_.next()); return true;
      case VK_HOME: turned(view_.first()); return true;
      case VK_END: turned(view_.last()); return true;
      case VK_UP: scroll_by(SB_VERT, -kLineStep); return true;
      case VK_DOWN: scroll_by(SB_VERT, kLineStep); return true;
      case VK_LEFT: scroll_by(SB_HORZ, -kLineStep); return true;
      case VK_RIGHT: scroll_by(SB_HORZ, kLineStep); return true;
      default: return false;
    }
  }

  void turned(bool turned) {
    if (!turned) return;
    scroll_.y = 0;
    show_page();
  }

  void print() {
    if (!desc_.can_print || ended_) return;
    end();
    if (desc_.on_print) desc_.on_print();
  }

  void command(int id) {
    if (ended_) return;
    switch (id) {
      case print_command: print(); break;
      case close_command: end(); break;
      case previous_command: turned(view_.previous()); break;
      case next_command: turned(view_.next()); break;
      case fit_page_command:
      case fit_width_command:
      case actual_size_command:
        view_.set_zoom(zoom_of(id));
        show_page();
        break;
      default: break;
    }
    if (!ended_) SetFocus(page_);
  }

  // Ctrl with the wheel zooms; the wheel alone scrolls.
  void wheel(WPARAM wparam) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
    if (notches == 0) return;
    if ((GET_KEYSTATE_WPARAM(wparam) & MK_CONTROL) == 0) {
      scroll_by(SB_VERT, -notches * kLineStep);
      return;
    }
    if (view_.count() == 0) return;
    view_.zoom_by(PreviewView::wheel_step(notches), pixels_per_point(), actual_size());
    for (const int id : {fit_page_command, fit_width_command, actual_size_command})
      SendMessageW(bar_, TB_CHECKBUTTON, id, FALSE);
    show_page();
  }

  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<Win32Preview*>(window_object(hwnd, message, lparam));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_SIZE: self->layout(); return 0;
      case WM_CLOSE: self->end(); return 0;
      case WM_SETFOCUS:
        if (self->page_ != nullptr) SetFocus(self->page_);
        return 0;
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lparam) == self->bar_) self->command(LOWORD(wparam));
        return 0;
      case WM_MOUSEWHEEL: self->wheel(wparam); return 0;
      case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lparam) == self->note_) {
          SetBkColor(reinterpret_cast<HDC>(wparam), kNoteColour);
          SetTextColor(reinterpret_cast<HDC>(wparam), RGB(0, 0, 0));
          return reinterpret_cast<LRESULT>(self->note_brush_.get());
        }
        break;
      default: break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  static LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<Win32Preview*>(window_object(hwnd, message, lparam));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
      case WM_PAINT: self->paint_page(hwnd); return 0;
      case WM_ERASEBKGND: return 1;  // painted whole by WM_PAINT
      case WM_HSCROLL: self->on_scroll(SB_HORZ, wparam); return 0;
      case WM_VSCROLL: self->on_scroll(SB_VERT, wparam); return 0;
      case WM_MOUSEWHEEL: self->wheel(wparam); return 0;
      case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
      case WM_KEYDOWN:
        if (self->key(wparam)) return 0;
        break;
      default: break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  PreviewDesc desc_;
  PreviewView view_;
  KeptImages<PageImage> kept_;
  const PageImage* image_ = nullptr;  // the page shown, among the kept ones
  POINT scroll_{0, 0};
  int dpi_ = 96;
  bool ended_ = false;
  HWND owner_;
  std::list<std::wstring> captions_;  // the buttons' texts, which stay where they are
  GdiObject ui_font_;
  GdiObject big_font_;
  GdiObject note_brush_;
  GdiObject grey_;
  HWND bar_ = nullptr;  // children go with the window
  HWND status_ = nullptr;
  HWND note_ = nullptr;
  HWND page_ = nullptr;
  WindowHandle window_;
};

}  // namespace

std::unique_ptr<PreviewWindow> make_win32_preview(const PreviewDesc& desc) {
  auto preview = std::make_unique<Win32Preview>(desc);
  if (!preview->created()) return nullptr;
  return preview;
}

}  // namespace tarvo::ui
