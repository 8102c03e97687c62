#include "printing/page_preview.h"

#include <gtest/gtest.h>

#include "printing/page_device_cairo.h"
#include "printing/win32prn.h"
#include "tests/printing/cups_test_util.h"
#include "tests/support/page_pixels.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;

constexpr int kDpi = 150;  // the screen scale the pages are compared at

// Texts, fonts and a rule spread over the sheet, some drawn straight from
// the "print file" (as records are), some from texts of their own.
void draw_report(WIN32PRN& p, std::string_view file) {
  p.SetFont(std::nullopt, std::nullopt, 12.0);
  p.SetPrc(1, 10);
  p.TextOut(file.substr(0, 6));  // "TITULO"
  p.Bold(800);
  p.UnderLine(true);
  p.SetPrc(3, 10);
  p.TextOut(std::string("Negrito sublinhado"));
  p.SetFont("Courier New", 9, FontWidthArg{PitchPair{1, -20}});  // a fixed advance
  p.SetPrc(40, 4);
  p.TextOut(file.substr(7, 9));  // "meio da p"
  p.FillRect(600, 5200, 2400, 30);
  p.Bold(0);
  p.UnderLine(false);
  p.Italic(true);
  p.SetDefaultFont();
  p.SetPrc(62, 55);
  p.TextOut(file.substr(17));  // "rodape"
}

struct Preview : ::testing::Test {
  CairoPageDevices printers;
  PreviewDocument preview;
  std::string file = "TITULO meio da p rodape";
  const std::string* held = &file;  // where the print file is, as the run moves it
  PreviewPageDevices devices{printers, preview, [this] { return std::string_view(*held); }};

  std::unique_ptr<WIN32PRN> page(PageDeviceFactory& factory, const std::string& queue, bool landscape = false) {
    auto p = std::make_unique<WIN32PRN>(&factory);
    p->New(queue);
    p->Landscape = landscape;
    p->FormType = 9;
    p->SetPrintQuality(3);
    return p;
  }

  // The same report printed on `queue` and previewed; gives the printed PDF.
  test::CapturedJob print_and_preview(const std::string& queue, bool landscape) {
    PrivateCups::instance().add_queue(queue);
    for (PageDeviceFactory* factory : {static_cast<PageDeviceFactory*>(&printers), static_cast<PageDeviceFactory*>(&devices)}) {
      auto p = page(*factory, queue, landscape);
      EXPECT_TRUE(p->Create());
      EXPECT_TRUE(p->StartDoc("relatorio"));
      draw_report(*p, file);
      EXPECT_TRUE(p->EndDoc());
    }
    const auto jobs = PrivateCups::instance().wait_for_jobs(queue, 1);
    EXPECT_EQ(jobs.size(), 1u);
    return jobs.empty() ? test::CapturedJob{} : jobs[0];
  }
};

// What the preview shows is what prints: every mark of the page where the
// printed PDF has it, on portrait and on landscape sheets, also after the
// print file moved elsewhere in memory.
TEST_F(Preview, PagesAreDrawnWhereThePrinterGetsThem) {
  for (const bool landscape : {false, true}) {
    const std::string queue = landscape ? "Preview_Landscape" : "Preview_Portrait";
    const test::CapturedJob printed = print_and_preview(queue, landscape);
    ASSERT_EQ(preview.page_count(), landscape ? 2u : 1u);
    const std::size_t shown = preview.page_count() - 1;

    const SheetSize sheet = preview.page_size(shown);
    EXPECT_NEAR(sheet.width, landscape ? 841.89 : 595.28, 0.01);
    EXPECT_NEAR(sheet.height, landscape ? 595.28 : 841.89, 0.01);

    // The run hands the file on between the job and the preview.
    std::string moved = std::move(file);
    held = &moved;
    const test::GreyPage on_screen = test::grey_of(preview.render(shown, kDpi / 72.0));
    const test::GreyPage on_paper = test::rasterised(printed.data, kDpi);
    file = std::move(moved);
    held = &file;

    EXPECT_NEAR(on_screen.width, on_paper.width, 1);
    EXPECT_NEAR(on_screen.height, on_paper.height, 1);
    const int half = on_paper.height / 2;
    for (const auto& [from, to] : {std::pair{0, half}, std::pair{half, on_paper.height}}) {
      const test::InkBox screen = test::ink_box(on_screen, from, to);
      const test::InkBox paper = test::ink_box(on_paper, from, to);
      EXPECT_TRUE(test::near(screen, paper, 2))
          << queue << " rows " << from << "-" << to << ": preview " << test::describe(screen) << ", print "
          << test::describe(paper);
    }
  }
}

// A preview sends nothing; documents that would not print (aborted, or with
// nothing drawn) show no pages; pages of later documents follow on.
TEST_F(Preview, OnlyWhatWouldPrintIsShownAndNothingIsSent) {
  const std::string queue = "Preview_Nothing_Sent";
  PrivateCups::instance().add_queue(queue);
  auto p = page(devices, queue);
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("abortado"));
  p->SetPrc(2, 2);
  p->TextOut("nao sai");
  p->EndDoc(true);
  ASSERT_TRUE(p->StartDoc("vazio"));
  p->EndPage();
  p->EndDoc();
  EXPECT_EQ(preview.page_count(), 0u);

  ASSERT_TRUE(p->StartDoc("duas"));
  p->SetPrc(2, 2);
  p->TextOut("um");
  p->EndPage();
  p->SetPrc(2, 2);
  p->TextOut("dois");
  p->EndDoc();
  auto second = page(devices, queue, true);
  ASSERT_TRUE(second->Create());
  ASSERT_TRUE(second->StartDoc("outra"));
  second->SetPrc(2, 2);
  second->TextOut("tres");
  second->Destroy();
  ASSERT_EQ(preview.page_count(), 3u);
  EXPECT_GT(preview.page_size(2).width, preview.page_size(1).width);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_FALSE(test::ink_box(test::grey_of(preview.render(i, 1.0))).empty()) << i;

  PrivateCups::instance().wait_idle();
  EXPECT_TRUE(PrivateCups::instance().jobs(queue).empty());
  EXPECT_EQ(test::queued_jobs(queue), "");
}

}  // namespace
}  // namespace tarvo
