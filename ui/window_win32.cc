#include "ui/window_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "runtime/wide_text.h"
#include "ui/grid_keys.h"
#include "ui/win32_handles.h"

namespace tarvo::ui {
namespace {

constexpr wchar_t kWindowClass[] = L"TarvoUSB.Window";
constexpr int kImageSize = 26;  // the buttons' bitmaps
constexpr UINT_PTR kGridSubclass = 1;
constexpr int kFirstCommand = 100;
constexpr int kTooltipWidth = 320;

// The key code the grid's key-down callback expects, from a virtual key.
int key_code(WPARAM vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<int>('0' + (vk - VK_NUMPAD0));
  if (vk == VK_ESCAPE) return keys::escape;
  if (vk == VK_RETURN) return keys::enter;
  return keys::other;
}

// Whether a key types a printable character (its WM_CHAR follows).
bool types_character(WPARAM vk) {
  if (vk == VK_ESCAPE || (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE)) return true;
  const UINT ch = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_CHAR) & 0x7FFFFFFFu;
  return ch >= 0x20;
}

// The letter after "&" in a caption, upper case; 0 when there is none.
wchar_t accelerator_of(const std::wstring& caption) {
  const std::size_t amp = caption.find(L'&');
  if (amp == std::wstring::npos || amp + 1 >= caption.size()) return 0;
  return static_cast<wchar_t>(std::towupper(caption[amp + 1]));
}

HBITMAP load_bitmap(const std::string& name, int width, int height) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), wide_from_utf8(name).c_str(),
                                         IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
}

struct ImageListDestroy {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using ImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroy>;

class Win32Window;

class Win32Grid final : public Grid {
 public:
  Win32Grid(HWND list, GridTable& table, GridKeys keys) : list_(list), table_(table), keys_(std::move(keys)) {}
  void set_focus() override { SetFocus(list_); }

  HWND handle() const { return list_; }
  GridTable& table() { return table_; }
  const GridKeys& keys() const { return keys_; }
  std::wstring& text_buffer() { return text_; }

 private:
  HWND list_;
  GridTable& table_;
  GridKeys keys_;
  std::wstring text_;  // the cell text the list view is reading
};

struct Win32Button {
  std::wstring caption, message, tooltip, title;
  wchar_t accelerator = 0;
  std::function<void()> action;
};

class Win32ToolBar final : public ToolBar {
 public:
  Win32ToolBar(HWND bar, int image_size, SIZE button) : bar_(bar), image_size_(image_size), button_(button) {
    images_.reset(ImageList_Create(image_size, image_size, ILC_COLOR24 | ILC_MASK, 5, 5));
    SendMessageW(bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  }

  void add_button(const ToolButtonDesc& desc) override {
    auto b = std::make_unique<Win32Button>();
    b->caption = wide_from_utf8(desc.caption);
    b->message = wide_from_utf8(desc.message);
    b->tooltip = wide_from_utf8(desc.tooltip);
    b->title = wide_from_utf8(desc.tooltip_title);
    b->accelerator = accelerator_of(b->caption);
    b->action = desc.action;

    int image = I_IMAGENONE;
    if (const GdiObject bitmap{load_bitmap(desc.bitmap, image_size_, image_size_)})
      image = ImageList_AddMasked(images_.get(), static_cast<HBITMAP>(bitmap.get()), RGB(255, 0, 255));
    TBBUTTON button{};
    button.iBitmap = image;
    button.idCommand = kFirstCommand + static_cast<int>(buttons_.size());
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = reinterpret_cast<INT_PTR>(b->caption.c_str());
    buttons_.push_back(std::move(b));
    SendMessageW(bar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    // Each new caption makes the bar size its buttons anew.
    SendMessageW(bar_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(button_.cx, button_.cx));
    SendMessageW(bar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(button_.cx, button_.cy));
  }

  Win32Button* button(std::size_t command) {
    const std::size_t i = command - kFirstCommand;
    return command >= kFirstCommand && i < buttons_.size() ? buttons_[i].get() : nullptr;
  }
  Win32Button* with_accelerator(wchar_t letter) {
    for (const auto& b : buttons_)
      if (b->accelerator != 0 && b->accelerator == letter) return b.get();
    return nullptr;
  }
  HWND handle() const { return bar_; }

 private:
  HWND bar_;
  int image_size_;
  SIZE button_;
  ImageList images_;
  std::vector<std::unique_ptr<Win32Button>> buttons_;
};

class Win32Window final : public Window {
 public:
  explicit Win32Window(const WindowDesc& desc) : look_(desc.look) {
    register_window_class(kWindowClass, window_proc, COLOR_BTNFACE);
    window_.reset(CreateWindowExW(0, kWindowClass, wide_from_utf8(desc.title).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, desc.frame.left, desc.frame.top,
                                  desc.frame.width(), desc.frame.height(), nullptr, nullptr,
                                  GetModuleHandleW(nullptr), this));
    if (!window_) return;
    // The frame's size is given at 96 dpi; on a denser screen it grows with it.
    dpi_ = window_dpi(window_.get());
    if (dpi_ != 96)
      SetWindowPos(window_.get(), nullptr, 0, 0, scaled(desc.frame.width(), dpi_),
                   scaled(desc.frame.height(), dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  ~Win32Window() override {
    // The window goes first: its last messages still reach this object.
    window_.reset();
  }

  bool created() const { return static_cast<bool>(window_); }

  Grid& add_grid(const GridDesc& desc) override {
    const HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
        0, 0, 0, 0, window_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    fonts_.push_back(make_font(wide_from_utf8(desc.font.face).c_str(), desc.font.pixel_height, dpi_));
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.back().get()), FALSE);

    std::wstring header = wide_from_utf8(desc.header);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header.data();
    column.cx = scaled(desc.column_width, dpi_);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    set_background(list, desc.background_bitmap);

    grid_ = std::make_unique<Win32Grid>(list, *desc.table, GridKeys(desc.on_key_down, desc.on_char, live()));
    SetWindowSubclass(list, grid_proc, kGridSubclass, reinterpret_cast<DWORD_PTR>(this));
    GridTable& table = *desc.table;
    SendMessageW(list, LVM_SETITEMCOUNT, table.row_count(), 0);
    if (table.row_count() > 0) {
      const auto row = static_cast<WPARAM>(table.current_row());
      LVITEMW state{};
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
      SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    }
    footer_ = desc.footer;
    layout();
    return *grid_;
  }

  ToolBar& add_tool_bar(int button_width, int button_height) override {
    const HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                     WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                                     0, 0, 0, 0, window_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int image = scaled(kImageSize, dpi_);
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(image, image));
    if (const auto tips = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0))) {
      SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, scaled(kTooltipWidth, dpi_));
      if (look_.balloon_tooltips)
        SetWindowLongPtrW(tips, GWL_STYLE, GetWindowLongPtrW(tips, GWL_STYLE) | TTS_BALLOON);
    }
    bar_ = std::make_unique<Win32ToolBar>(bar, image,
                                          SIZE{scaled(button_width, dpi_), scaled(button_height, dpi_)});
    layout();
    return *bar_;
  }

  void set_status_bar(const StatusBarDesc& desc) override {
    status_text_ = (desc.centred ? L"\t" : L"") + wide_from_utf8(desc.text);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_.get(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    fonts_.push_back(make_font(wide_from_utf8(desc.font.face).c_str(), desc.font.pixel_height, dpi_));
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.back().get()), FALSE);
    show_status(status_text_);
    layout();
  }

  void on_first_show(std::function<void()> first_show) override { first_shown_ = std::move(first_show); }

  void show() override {
    if (ended_) return;
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    SetForegroundWindow(window_.get());
    UpdateWindow(window_.get());
    if (first_shown_) std::exchange(first_shown_, nullptr)();
  }

  void run() override {
    show();
    run_messages([this] { return ended_; }, [this] { end(); },
                 [this](const MSG& msg) { return msg.message == WM_SYSKEYDOWN && accelerator(msg.wParam); });
  }

  void end() override {
    if (ended_) return;
    ended_ = true;
    // Hidden now, destroyed with this object: messages still queued for it
    // find a window that no longer reacts.
    ShowWindow(window_.get(), SW_HIDE);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  }

  bool ended() const override { return ended_; }

 private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<Win32Window*>(window_object(hwnd, message, lparam));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    return self->handle(hwnd, message, wparam, lparam);
  }

  LRESULT handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_SIZE:
        layout();
        return 0;
      case WM_CLOSE:
        end();
        return 0;
      case WM_SETFOCUS:
        if (grid_) grid_->set_focus();
        return 0;
      case WM_PAINT:
        paint_footer(hwnd);
        return 0;
      case WM_COMMAND:
        if (lparam != 0 && bar_ && reinterpret_cast<HWND>(lparam) == bar_->handle()) {
          if (Win32Button* b = bar_->button(LOWORD(wparam))) press(*b);
          return 0;
        }
        break;
      case WM_NOTIFY:
        return notify(*reinterpret_cast<NMHDR*>(lparam));
      case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  LRESULT notify(NMHDR& header) {
    if (grid_ && header.hwndFrom == grid_->handle()) {
      if (header.code == LVN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if ((info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
          std::wstring& text = grid_->text_buffer();
          text = wide_from_utf8(grid_->table().cell_text(static_cast<std::size_t>(info.item.iItem)));
          lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
        }
      } else if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0)
          grid_->table().move_to_row(static_cast<std::size_t>(change.iItem));
      }
      return 0;
    }
    if (!bar_) return 0;
    if (header.code == TBN_HOTITEMCHANGE && header.hwndFrom == bar_->handle()) {
      const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
      const Win32Button* b = (hot.dwFlags & HICF_LEAVING) != 0 ? nullptr : bar_->button(hot.idNew);
      show_status(b != nullptr ? b->message : status_text_);
    } else if (header.code == TTN_GETDISPINFOW) {
      auto& tip = reinterpret_cast<NMTTDISPINFOW&>(header);
      if (const Win32Button* b = bar_->button(header.idFrom)) {
        tip.lpszText = const_cast<wchar_t*>(b->tooltip.c_str());
        // The title shows above the text in balloons, as the look asks.
        if (look_.balloon_tooltips)
          SendMessageW(header.hwndFrom, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(b->title.c_str()));
      }
    }
    return 0;
  }

  // Alt + a button's letter presses the button, wherever the focus is.
  bool accelerator(WPARAM vk) {
    if (!bar_) return false;
    Win32Button* b = bar_->with_accelerator(static_cast<wchar_t>(std::towupper(static_cast<wint_t>(vk))));
    if (b == nullptr) return false;
    press(*b);
    return true;
  }

  void press(Win32Button& b) {
    if (b.action && !ended_) b.action();
  }

  static LRESULT CALLBACK grid_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Window*>(data);
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        KeyPress p;
        p.alt = message == WM_SYSKEYDOWN;
        p.key = key_code(wparam);
        p.types = types_character(wparam);
        if (self->grid_->keys().press(p) == KeyNext::nowhere) return 0;
        break;
      }
      case WM_CHAR: {
        KeyPress p;
        p.character = static_cast<int>(wparam);
        p.types = true;
        self->grid_->keys().press(p);
        return 0;
      }
      case WM_ERASEBKGND:
        if (self->background_) {
          RECT r;
          GetClientRect(hwnd, &r);
          FillRect(reinterpret_cast<HDC>(wparam), &r, static_cast<HBRUSH>(self->background_.get()));
          return 1;
        }
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, grid_proc, kGridSubclass);
        break;
      default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }

  // The bitmap, tiled under the rows: the list draws its texts on it.
  void set_background(HWND list, const std::string& name) {
    const GdiObject bitmap{load_bitmap(name, 0, 0)};
    if (!bitmap) return;
    background_.reset(CreatePatternBrush(static_cast<HBITMAP>(bitmap.get())));
    SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
  }

  int height_of(HWND child) const {
    if (child == nullptr) return 0;
    RECT r;
    GetWindowRect(child, &r);
    return r.bottom - r.top;
  }

  // The bars at the top and bottom; the grid, with its footer row, between.
  void layout() {
    if (!window_) return;
    RECT client;
    GetClientRect(window_.get(), &client);
    if (bar_) SendMessageW(bar_->handle(), TB_AUTOSIZE, 0, 0);
    if (status_ != nullptr) SendMessageW(status_, WM_SIZE, 0, 0);
    const int top = bar_ ? height_of(bar_->handle()) : 0;
    const int bottom = client.bottom - height_of(status_);
    if (!grid_) return;
    const int footer = footer_ ? height_of(reinterpret_cast<HWND>(SendMessageW(grid_->handle(), LVM_GETHEADER, 0, 0))) : 0;
    footer_rect_ = RECT{0, bottom - footer, client.right, bottom};
    MoveWindow(grid_->handle(), 0, top, client.right, footer_rect_.top - top, TRUE);
    InvalidateRect(window_.get(), &footer_rect_, TRUE);
  }

  // An empty row under the column, drawn like the header.
  void paint_footer(HWND hwnd) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    if (footer_ && footer_rect_.bottom > footer_rect_.top)
      DrawEdge(dc, &footer_rect_, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    EndPaint(hwnd, &ps);
  }

  void show_status(const std::wstring& text) {
    if (status_ != nullptr) SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  std::function<bool()> live() {
    return [this] { return !ended_; };
  }

  WindowLook look_;
  int dpi_ = 96;
  bool ended_ = false;
  bool footer_ = false;
  RECT footer_rect_{};
  std::wstring status_text_;
  std::function<void()> first_shown_;
  std::vector<GdiObject> fonts_;
  GdiObject background_;
  std::unique_ptr<Win32Grid> grid_;
  std::unique_ptr<Win32ToolBar> bar_;
  HWND status_ = nullptr;  // children go with the window
  WindowHandle window_;
};

}  // namespace

std::unique_ptr<Window> make_win32_window(const WindowDesc& desc) {
  static const bool controls = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  if (!controls) return nullptr;
  auto window = std::make_unique<Win32Window>(desc);
  if (!window->created()) return nullptr;
  return window;
}

}  // namespace tarvo::ui
