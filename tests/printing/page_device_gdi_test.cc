// The page model on a printer of Windows, under wine: wine's printer driver
// reports A4 at 300 dots per inch with 75-dot offsets, and "Courier New"
// (Liberation Mono in the test's prefix) at the sizes the model asks for.
#include <gtest/gtest.h>

#include "printing/page_device.h"
#include "printing/printer_service.h"
#include "printing/win32prn.h"

namespace tarvo {
namespace {

constexpr const char* kQueue = "tarvo-wine-2";

struct GdiPages : ::testing::Test {
  std::unique_ptr<PageDeviceFactory> devices = make_system_page_devices();
  std::unique_ptr<PrinterService> spooler = make_system_printer_service();

  // The page object as the job driver prepares it.
  std::unique_ptr<WIN32PRN> make(std::string_view name = kQueue, bool landscape = false) {
    auto p = std::make_unique<WIN32PRN>(devices.get(), spooler.get());
    p->New(name);
    p->Landscape = landscape;
    p->FormType = 9;
    p->Copies = 1;
    p->SetPrintQuality(3);
    return p;
  }
};

TEST_F(GdiPages, CreateReadsTheSheetAndTheDefaultFont) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->PixelsPerInchX, 300);
  EXPECT_EQ(p->PixelsPerInchY, 300);
  EXPECT_NEAR(p->PageWidth, 2480, 1);  // 210 by 297 mm
  EXPECT_NEAR(p->PageHeight, 3508, 1);
  EXPECT_EQ(p->LeftMargin, 75);
  EXPECT_EQ(p->TopMargin, 75);
  EXPECT_EQ(p->LineHeight, 50);
  EXPECT_EQ(p->FontName, "Courier New");
  EXPECT_EQ(p->CharWidth, 30);
  EXPECT_TRUE(p->SetFontOk);

  auto wide = make(kQueue, true);
  ASSERT_TRUE(wide->Create());
  EXPECT_NEAR(wide->PageWidth, 3508, 1);
  EXPECT_NEAR(wide->PageHeight, 2480, 1);
}

// Each pitch gives its width; a font too large to draw is refused and the
// one before it stays.
TEST_F(GdiPages, PitchesGiveTheirWidthsAndHugeFontsAreRefused) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  for (const auto& [pitch, width] : {std::pair{10, 30}, {12, 25}, {17, 18}, {20, 15}}) {
    ASSERT_TRUE(p->SetFont("Courier New", 11, FontWidthArg{double(pitch)}, 0, false, false, 0));
    EXPECT_EQ(p->CharWidth, width) << pitch;
  }
  EXPECT_FALSE(p->SetFont("Courier New", 1e7));
  EXPECT_EQ(p->CharWidth, 15);
  EXPECT_EQ(p->FontName, "Courier New");
}

TEST_F(GdiPages, UnknownPrinterDoesNotOpen) {
  auto p = make("Impressora_Que_Nao_Existe");
  EXPECT_FALSE(p->Create());
  EXPECT_FALSE(p->hPrinterDc);
}

}  // namespace
}  // namespace tarvo
