// The system's boxes, shown for real and answered by a watcher thread that
// finds each box, reads it and presses one of its buttons. Wine shows boxes
// only on a display: scripts/test-windows runs the tests on a private X
// server.
#include "ui/dialogs_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "runtime/wide_text.h"

namespace tarvo::ui {
namespace {

struct SeenBox {
  std::string text, yes, no;
  int default_button = 0;
};

std::string item_text(HWND box, int id) {
  wchar_t text[64] = {};
  GetDlgItemTextW(box, id, text, 64);
  return utf8_from_wide(text);
}

// Waits for the box titled `title`, reads it, then presses `answer`.
std::future<SeenBox> answer_box(const wchar_t* title, int answer) {
  return std::async(std::launch::async, [title, answer] {
    SeenBox seen;
    HWND box = nullptr;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (box == nullptr && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      box = FindWindowW(L"#32770", title);
    }
    if (box == nullptr) return seen;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // named and shown
    seen.text = item_text(box, 0xFFFF);
    seen.yes = item_text(box, IDYES);
    seen.no = item_text(box, IDNO);
    for (const int id : {IDYES, IDNO, IDOK})
      if (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_DEFPUSHBUTTON) seen.default_button = id;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    return seen;
  });
}

class Win32Boxes : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no display for wine; run this through scripts/test-windows";
  }
};

TEST_F(Win32Boxes, QuestionsHavePortugueseButtonsAndTheAskedDefault) {
  const auto dialogs = make_win32_dialogs();
  auto watcher = answer_box(L"   TARVO Sistemas", IDYES);
  EXPECT_TRUE(dialogs->ask_yes_no("   TARVO Sistemas", "Deseja abandonar a impress\xc3\xa3o ?     ", false));
  const SeenBox no_default = watcher.get();
  EXPECT_EQ(no_default.yes, "&Sim");
  EXPECT_EQ(no_default.no, "&N\xc3\xa3o");
  EXPECT_EQ(no_default.default_button, IDNO);

  watcher = answer_box(L"   TARVO Sistemas", IDNO);
  EXPECT_FALSE(dialogs->ask_yes_no("   TARVO Sistemas", "Outra pergunta", true));
  EXPECT_EQ(watcher.get().default_button, IDYES);
}

TEST_F(Win32Boxes, TextsAndTitlesKeepTheirAccents) {
  const auto dialogs = make_win32_dialogs();
  auto watcher = answer_box(L" -= TarvoUSB =- ", IDOK);
  dialogs->message(Icon::stop, " -= TarvoUSB =- ", "Esta Impressora \"Laser\" NAO est\xc3\xa1 Instalada");
  const SeenBox seen = watcher.get();
  EXPECT_EQ(seen.text, "Esta Impressora \"Laser\" NAO est\xc3\xa1 Instalada");
}

// Lets the pop-up take the keys, as the program's message loop does.
void pump_messages() {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  MSG msg;
  while (std::chrono::steady_clock::now() < until) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TEST_F(Win32Boxes, HelpPopupStaysAtThePointInItsFontUntilAKeyOrAClick) {
  const auto dialogs = make_win32_dialogs();
  for (const UINT closing : {WM_KEYDOWN, WM_LBUTTONDOWN}) {
    dialogs->text_popup("static function Tarvo\r\n   return nil", {200, 150}, "Tahoma, 8, , ");
    const HWND popup = FindWindowW(L"TarvoUSB.Popup", nullptr);
    ASSERT_NE(popup, nullptr);
    pump_messages();
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(GetFocus(), popup);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    EXPECT_GT(r.bottom - r.top, 20);  // two lines
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(popup, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(utf8_from_wide(font.lfFaceName), "Tahoma");
    EXPECT_EQ(font.lfHeight, -11);  // 8 points at 96 dpi

    PostMessageW(popup, closing, closing == WM_KEYDOWN ? 'X' : 0, 0);
    pump_messages();
    EXPECT_FALSE(IsWindow(popup)) << closing;
  }
}

}  // namespace
}  // namespace tarvo::ui
