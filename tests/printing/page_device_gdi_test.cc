// The page model on a printer of Windows, under wine: wine's printer driver
// reports A4 at 300 dots per inch with 75-dot offsets, and "Courier New"
// (Liberation Mono in the test's prefix) at the sizes the model asks for.
#include <gtest/gtest.h>

#include <algorithm>

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

// Dark pixels of an image within a box of pixels.
int dark_pixels(const PageImage& image, int left, int top, int right, int bottom) {
  int dark = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, image.height); ++y)
    for (int x = std::max(left, 0); x < std::min(right, image.width); ++x)
      if ((image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] & 0xFFu) < 0x80u) ++dark;
  return dark;
}

// A preview's pages: the printer's own sheet, offsets and fonts drawn into
// images at the asked scale, a fresh white sheet each page.
TEST_F(GdiPages, ImagesShowThePrintersPageAtTheirScale) {
  const auto device = devices->open_images(kQueue);
  ASSERT_TRUE(device);
  const SheetSize sheet = device->sheet_size();
  EXPECT_NEAR(sheet.width, 595.3, 0.5);  // A4 in points
  EXPECT_NEAR(sheet.height, 841.9, 0.5);

  device->set_image_scale(0.5);  // 300 dots a point and a half: 0.12 pixels a dot
  ASSERT_TRUE(device->start_document("PreView"));
  ASSERT_TRUE(device->start_page());
  device->fill_rect(0, 0, 300, 300, 1.0);  // an inch from the printable area's corner
  ASSERT_TRUE(device->select_font({"Courier New", -100}));
  device->set_text_align(0x18);  // left, baseline
  EXPECT_EQ(device->draw_text(1000, 2000, "MMMM", 60), 240);
  ASSERT_TRUE(device->end_page());
  const PageImage page = device->take_image();
  ASSERT_EQ(page.width, 298);
  ASSERT_EQ(page.height, 421);
  // The square from 75 to 375 dots: pixels 9 to 45.
  EXPECT_EQ(dark_pixels(page, 10, 10, 44, 44), 34 * 34);
  EXPECT_EQ(dark_pixels(page, 0, 0, 8, 421), 0);
  EXPECT_EQ(dark_pixels(page, 47, 0, 298, 8), 0);
  // The text from 1075 dots across, on the baseline at 2075: pixels 129 to
  // 158 across and about 9 above 249.
  EXPECT_GT(dark_pixels(page, 128, 238, 160, 250), 40);
  EXPECT_EQ(dark_pixels(page, 162, 230, 298, 260), 0);
  EXPECT_EQ(dark_pixels(page, 60, 252, 298, 421), 0);
  EXPECT_TRUE(device->take_image().pixels.empty());

  ASSERT_TRUE(device->start_page());
  ASSERT_TRUE(device->end_page());
  EXPECT_EQ(dark_pixels(device->take_image(), 0, 0, 298, 421), 0);
  EXPECT_TRUE(device->end_document());
}

}  // namespace
}  // namespace tarvo
