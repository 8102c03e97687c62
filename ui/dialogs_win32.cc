#include "ui/dialogs_win32.h"

#include <windows.h>

#include "runtime/wide_text.h"
#include "ui/text_popup_win32.h"

namespace tarvo::ui {
namespace {

UINT icon_flags(Icon icon) {
  switch (icon) {
    case Icon::stop: return MB_ICONSTOP;
    case Icon::exclamation: return MB_ICONEXCLAMATION;
    case Icon::question: return MB_ICONQUESTION;
  }
  return 0;
}

// A box without an owner would open behind the business system's window,
// which started the run: it comes to the front, and keeps the program's
// other windows waiting.
UINT owner_flags(HWND owner) { return owner != nullptr ? 0 : MB_TASKMODAL | MB_SETFOREGROUND; }

// The Yes and No buttons read "&Sim" and "&Não" whatever the language of
// Windows, so S and N answer, as in the program's other boxes. The hook
// names them when the box is about to show, on this thread only.
LRESULT CALLBACK name_buttons(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(wparam);
    SetDlgItemTextW(box, IDYES, L"&Sim");
    SetDlgItemTextW(box, IDNO, L"&N\u00e3o");
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

class ButtonNames {
 public:
  ButtonNames() : hook_(SetWindowsHookExW(WH_CBT, name_buttons, nullptr, GetCurrentThreadId())) {}
  ~ButtonNames() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  }
  ButtonNames(const ButtonNames&) = delete;
  ButtonNames& operator=(const ButtonNames&) = delete;

 private:
  HHOOK hook_;
};

class Win32Dialogs final : public Dialogs {
 public:
  void message(Icon icon, std::string_view title, std::string_view text) override {
    const HWND owner = GetActiveWindow();
    MessageBoxW(owner, wide_from_utf8(text).c_str(), wide_from_utf8(title).c_str(),
                MB_OK | icon_flags(icon) | owner_flags(owner));
  }

  bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override {
    const HWND owner = GetActiveWindow();
    const ButtonNames names;
    return MessageBoxW(owner, wide_from_utf8(text).c_str(), wide_from_utf8(title).c_str(),
                       MB_YESNO | MB_ICONQUESTION | (default_yes ? MB_DEFBUTTON1 : MB_DEFBUTTON2) |
                           owner_flags(owner)) == IDYES;
  }

  void tone(int hertz, int milliseconds) override {
    Beep(static_cast<DWORD>(hertz), static_cast<DWORD>(milliseconds));
  }

  void text_popup(std::string_view text, Point at, std::string_view font) override {
    popup_ = show_text_popup(text, at, font);
    if (popup_) return;
    const HWND owner = GetActiveWindow();
    MessageBoxW(owner, wide_from_utf8(text).c_str(), L"TarvoUSB - Ajuda", MB_OK | owner_flags(owner));
  }

  Point pointer_position() override {
    POINT p{};
    GetCursorPos(&p);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
  }

 private:
  std::unique_ptr<TextPopup> popup_;
};

}  // namespace

std::unique_ptr<Dialogs> make_win32_dialogs() { return std::make_unique<Win32Dialogs>(); }

}  // namespace tarvo::ui
