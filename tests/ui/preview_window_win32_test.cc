// The preview window on Win32, shown by wine on the private X server of
// scripts/test-windows, over pages that the test draws.
#include "ui/preview_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/wide_text.h"

namespace tarvo::ui {
namespace {

// A4 pages, white, drawn on demand.
struct WhitePages final : PreviewPages {
  std::size_t count = 3;
  std::vector<std::size_t> drawn;
  std::size_t page_count() const override { return count; }
  PageSize page_size(std::size_t) const override { return {595.28, 841.89}; }
  PageImage render(std::size_t page, double ppp) override {
    drawn.push_back(page);
    PageImage image;
    image.width = static_cast<int>(std::ceil(595.28 * ppp));
    image.height = static_cast<int>(std::ceil(841.89 * ppp));
    image.pixels.assign(std::size_t(image.width) * std::size_t(image.height), 0xFFFFFFFFu);
    return image;
  }
};

class PreviewWin32 : public ::testing::Test {
 protected:
  WhitePages pages;
  int prints = 0;
  std::unique_ptr<PreviewWindow> preview;
  HWND window = nullptr;

  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no display for wine; run this through scripts/test-windows";
  }

  void open(bool can_print = true) {
    PreviewDesc desc;
    desc.title = "PreView - TARVO Printers 7.9702    C:\\RELATORIO";
    desc.frame = {40, 100, 740, 700};
    desc.pages = &pages;
    desc.can_print = can_print;
    desc.on_print = [this] { ++prints; };
    desc.words.print = "Imprimir";
    desc.words.close = "Fechar";
    desc.words.previous = "Anterior";
    desc.words.next = "Próxima";
    desc.words.fit_page = "Página inteira";
    desc.words.fit_width = "Largura da página";
    desc.words.actual_size = "100 %";
    desc.words.nothing_to_print = "Nada a imprimir";
    desc.words.page_counter = [](std::size_t page, std::size_t count) {
      return "Página " + std::to_string(page) + " de " + std::to_string(count);
    };
    preview = make_win32_preview(desc);
    ASSERT_TRUE(preview);
    preview->show();
    window = FindWindowW(L"TarvoUSB.Preview", nullptr);
    ASSERT_NE(window, nullptr);
  }

  HWND child(const wchar_t* cls) const { return FindWindowExW(window, nullptr, cls, nullptr); }
  std::string status(int part) const {
    wchar_t text[128] = {};
    SendMessageW(child(STATUSCLASSNAMEW), SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return utf8_from_wide(text);
  }
  std::string counter() const { return status(0); }
  std::string zoom() const { return status(1); }
  void key(WPARAM vk) { SendMessageW(child(L"TarvoUSB.PreviewPage"), WM_KEYDOWN, vk, 1); }
  void wheel(int notches) {
    SendMessageW(child(L"TarvoUSB.PreviewPage"), WM_MOUSEWHEEL,
                 MAKEWPARAM(MK_CONTROL, static_cast<WORD>(notches * WHEEL_DELTA)), 0);
  }
  // Clicks the tool bar's button with this caption; false when there is none.
  bool click(const std::string& caption) {
    const HWND bar = child(TOOLBARCLASSNAMEW);
    const auto count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TBBUTTON b{};
      SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
      wchar_t text[64] = {};
      SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(b.idCommand), reinterpret_cast<LPARAM>(text));
      if (b.idCommand != 0 && utf8_from_wide(text) == caption) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(b.idCommand, BN_CLICKED), reinterpret_cast<LPARAM>(bar));
        return true;
      }
    }
    return false;
  }
};

TEST_F(PreviewWin32, KeysTurnThePagesAndTheCounterFollows) {
  open();
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  EXPECT_EQ(utf8_from_wide(title), "PreView - TARVO Printers 7.9702    C:\\RELATORIO");
  EXPECT_EQ(counter(), "Página 1 de 3");
  key(VK_PRIOR);
  EXPECT_EQ(counter(), "Página 1 de 3");
  key(VK_NEXT);
  EXPECT_EQ(counter(), "Página 2 de 3");
  key(VK_END);
  key(VK_NEXT);
  EXPECT_EQ(counter(), "Página 3 de 3");
  ASSERT_TRUE(click("Anterior"));
  EXPECT_EQ(counter(), "Página 2 de 3");
  key(VK_HOME);
  EXPECT_EQ(counter(), "Página 1 de 3");
  // Each page was drawn once, when first shown: the last ones are kept.
  EXPECT_EQ(pages.drawn, (std::vector<std::size_t>{0, 1, 2}));
  key(VK_ESCAPE);
  EXPECT_TRUE(preview->ended());
  EXPECT_EQ(prints, 0);
}

TEST_F(PreviewWin32, ActualSizeAndTheWheelZoom) {
  open();
  const std::string fitted = zoom();
  EXPECT_NE(fitted, "");
  ASSERT_TRUE(click("100 %"));
  EXPECT_EQ(zoom(), "100 %");
  wheel(1);
  EXPECT_EQ(zoom(), "125 %");
  wheel(-2);
  EXPECT_EQ(zoom(), "80 %");
  wheel(20);
  EXPECT_EQ(zoom(), "400 %");
  ASSERT_TRUE(click("Página inteira"));
  EXPECT_EQ(zoom(), fitted);
  EXPECT_EQ(counter(), "Página 1 de 3");
}

TEST_F(PreviewWin32, IPrintsOnceAndNothingToPrintCannotBePrinted) {
  open();
  key('I');
  EXPECT_TRUE(preview->ended());
  key('I');
  EXPECT_EQ(prints, 1);

  pages.count = 0;
  open(false);
  EXPECT_EQ(counter(), "");
  EXPECT_EQ(zoom(), "");
  key('I');
  EXPECT_FALSE(preview->ended());
  EXPECT_EQ(prints, 1);
  ASSERT_TRUE(click("Fechar"));
  EXPECT_TRUE(preview->ended());
}

}  // namespace
}  // namespace tarvo::ui
