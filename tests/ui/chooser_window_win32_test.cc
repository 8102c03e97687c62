// The chooser window on Win32, built by the launcher and shown for real by
// wine on the private X server of scripts/test-windows. Keys are posted to
// the window's queue and reach it through its own message loop, as typed
// keys do.
#include "launcher/chooser.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/printer_table.h"
#include "launcher/startup.h"
#include "runtime/wide_text.h"
#include "tests/engine/print_file.h"
#include "tests/support/fake_printers.h"
#include "tests/support/test_support.h"
#include "ui/window_win32.h"

namespace tarvo {
namespace {

struct Print {
  std::string mode;
  std::string printer;
  bool operator==(const Print&) const = default;
};

class Win32Toolkit final : public ui::Toolkit {
 public:
  test::ScriptedDialogs boxes;
  ui::Dialogs& dialogs() override { return boxes; }
  bool has_display() override { return true; }
  std::unique_ptr<ui::Window> create_window(const ui::WindowDesc& desc) override {
    return ui::make_win32_window(desc);
  }
};

std::string text_of(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return utf8_from_wide(text);
}

HWND child_of_class(HWND parent, const wchar_t* name) { return FindWindowExW(parent, nullptr, name, nullptr); }

class ChooserWin32 : public ::testing::Test {
 protected:
  test::FakePrinters printers;
  Win32Toolkit toolkit;
  std::unique_ptr<Launcher> run;
  std::unique_ptr<Chooser> chooser;
  std::vector<Print> prints;
  HWND window = nullptr;

  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no display for wine; run this through scripts/test-windows";
  }

  void open(const std::string& path = "C:\\DADOS\\RELATORIO.TXT") {
    run = std::make_unique<Launcher>(printers, toolkit);
    run->state.W_VERSAO_VAZ = "7.9702";
    run->state.VARQ_IMPRIMIR = path;
    run->state.V_DADOS_ARQUIVO = test::record({"N", "1", "1", "texto"});
    run->state.V_ENTER = "\r\n";
    run->window_environment = WindowEnvironment{true, true, true};
    CRIA_TMP(run->state);
    run->state.WPADRAO = "Escritorio";
    fill_printer_table(run->state.IMP, {"Etiquetas", "Escritorio", "Relatórios"}, "Escritorio");
    chooser = build_chooser_window(*run, [this](Launcher& r, std::string_view mode, std::string_view printer) {
      prints.push_back({std::string(mode), std::string(printer)});
      r.outcome = JobOutcome::done;
    });
    ASSERT_TRUE(chooser);
    chooser->OWND->show();
    window = FindWindowW(L"TarvoUSB.Window", nullptr);
    ASSERT_NE(window, nullptr);
  }

  HWND grid() const { return child_of_class(window, WC_LISTVIEWW); }
  HWND bar() const { return child_of_class(window, TOOLBARCLASSNAMEW); }
  HWND status() const { return child_of_class(window, STATUSCLASSNAMEW); }

  std::vector<std::string> rows() const {
    std::vector<std::string> out;
    const auto n = static_cast<int>(SendMessageW(grid(), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t text[256] = {};
      LVITEMW item{};
      item.pszText = text;
      item.cchTextMax = 256;
      SendMessageW(grid(), LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
      out.push_back(utf8_from_wide(text));
    }
    return out;
  }
  int selected_row() const {
    return static_cast<int>(SendMessageW(grid(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }

  // Posts key presses to the grid (then a close, when asked), and runs the
  // window until it ends; a timer ends it after ten seconds should the keys
  // not.
  void run_with_keys(const std::vector<std::pair<UINT, WPARAM>>& presses, bool close = false) {
    for (const auto& [message, key] : presses) {
      const LPARAM alt = message == WM_SYSKEYDOWN ? (1 << 29) : 0;
      PostMessageW(grid(), message, key, 1 | alt);
      PostMessageW(grid(), message == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP, key, 1 | alt | (3u << 30));
    }
    if (close) PostMessageW(window, WM_CLOSE, 0, 0);
    running = chooser->OWND.get();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10000, end_running);
    chooser->OWND->run();
    KillTimer(nullptr, timer);
  }

  static inline ui::Window* running = nullptr;
  static void CALLBACK end_running(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "the keys did not end the window";
    running->end();
  }
};

TEST_F(ChooserWin32, FrameTitleGridBarsAndBitmaps) {
  open("C:\\DADOS\\Relatório.TXT");
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.top, 100);
  EXPECT_EQ(frame.right - frame.left, 580);
  EXPECT_EQ(frame.bottom - frame.top, 450);
  EXPECT_EQ(text_of(window), "TARVO Printers 7.9702    C:\\DADOS\\Relatório");

  EXPECT_EQ(rows(), (std::vector<std::string>{"Escritorio  (Imp. PADRÃO)", "Etiquetas", "Relatórios"}));
  EXPECT_EQ(selected_row(), 0);
  EXPECT_EQ(SendMessageW(grid(), LVM_GETCOLUMNWIDTH, 0, 0), 500);
  wchar_t header[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = header;
  column.cchTextMax = 64;
  SendMessageW(grid(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(utf8_from_wide(header), "Impressora");
  EXPECT_NE(SendMessageW(grid(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(grid(), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(utf8_from_wide(font.lfFaceName), "TAHOMA");
  EXPECT_EQ(font.lfHeight, -12);
  EXPECT_EQ(GetFocus(), grid());

  EXPECT_EQ(SendMessageW(bar(), TB_BUTTONCOUNT, 0, 0), 5);
  const auto size = SendMessageW(bar(), TB_GETBUTTONSIZE, 0, 0);
  EXPECT_EQ(LOWORD(size), 75);
  EXPECT_EQ(HIWORD(size), 50);
  wchar_t caption[32] = {};
  SendMessageW(bar(), TB_GETBUTTONTEXTW, 103, reinterpret_cast<LPARAM>(caption));
  EXPECT_EQ(utf8_from_wide(caption), "&Ajuda");

  wchar_t rodape[128] = {};
  SendMessageW(status(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(rodape));
  EXPECT_EQ(utf8_from_wide(rodape), "Impressoras para Selecionar - rodape");

  for (const wchar_t* name : {L"REPORT", L"SEARCH", L"HELP", L"EXIT", L"PEDRA"})
    EXPECT_NE(FindResourceW(nullptr, name, MAKEINTRESOURCEW(2)), nullptr) << utf8_from_wide(name);
  run_with_keys({}, true);
}

TEST_F(ChooserWin32, DownThenIPrintsOnTheSecondRowAndEndsTheWindow) {
  open();
  run_with_keys({{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, 'I'}, {WM_KEYDOWN, 'G'}});
  EXPECT_EQ(prints, (std::vector<Print>{{"2", "Etiquetas"}}));
  EXPECT_TRUE(chooser->OWND->ended());
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(ChooserWin32, AltGPressesTheLandscapeButton) {
  open();
  run_with_keys({{WM_SYSKEYDOWN, 'G'}});
  EXPECT_EQ(prints, (std::vector<Print>{{"4", "Escritorio"}}));
}

TEST_F(ChooserWin32, LettersDoNotMoveTheRowAndEscAsksBeforeClosing) {
  open();
  toolkit.boxes.answers = {false, true};
  // "E" would jump to "Etiquetas" by the list's own search.
  run_with_keys({{WM_KEYDOWN, 'E'}, {WM_KEYDOWN, VK_END}, {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYDOWN, VK_ESCAPE}});
  ASSERT_EQ(toolkit.boxes.shown.size(), 2u);
  EXPECT_EQ(toolkit.boxes.shown[0].text, "Confirma o abandono da Impressão ?     ");
  EXPECT_EQ(run->state.IMP.current, 2u);
  EXPECT_EQ(selected_row(), 2);
  EXPECT_TRUE(prints.empty());
  EXPECT_TRUE(chooser->OWND->ended());
}

}  // namespace
}  // namespace tarvo
