#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "component/bar_code.h"
#include "component/slip_page.h"
#include "slip_fixtures.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

struct InkRun {
  bool black;
  int length;
};

// The runs of black and white along the image's row at `y_mm`, from the
// first black pixel at or after `x_mm` to the last black one.
std::vector<InkRun> runs_along(const PageImage& image, double dots_per_mm, double x_mm, double y_mm) {
  const int row = static_cast<int>(std::lround(y_mm * dots_per_mm));
  const auto black = [&](int x) { return (image.pixels[std::size_t(row) * std::size_t(image.width) + std::size_t(x)] & 0xFFFFFFu) == 0; };
  int x = static_cast<int>(std::lround(x_mm * dots_per_mm));
  while (x < image.width && !black(x)) ++x;
  std::vector<InkRun> runs;
  for (; x < image.width; ++x) {
    if (runs.empty() || runs.back().black != black(x)) runs.push_back({black(x), 0});
    ++runs.back().length;
  }
  if (!runs.empty() && !runs.back().black) runs.pop_back();
  return runs;
}

// Drawn through GDI at a printer's resolution, the narrow bar is exactly
// 0.254 mm in whole dots (3 at 300 dpi, 6 at 600), and every bar and gap is
// the symbol's own width in narrow bars: what a bank's reader measures.
TEST(SlipPageOnGdi, BarsAreWholeNarrowBarsAtThePrintersResolution) {
  const Slip slip = build_slip(test::itau_account(), test::itau_profile(), test::document(), 0);
  const std::vector<Bar> bars = interleaved_2_of_5(slip.bar_code);
  std::vector<int> expected;  // bar, gap, bar, ... in narrow bars
  for (std::size_t i = 0; i < bars.size(); ++i) {
    if (i > 0) expected.push_back(static_cast<int>(std::lround(bars[i].x - bars[i - 1].x - bars[i - 1].width)));
    expected.push_back(static_cast<int>(std::lround(bars[i].width)));
  }
  for (const int dpi : {300, 600}) {
    const PageImage image = slip_image(slip, test::itau_account(), test::ymd(2025, 3, 1), dpi / 72.0);
    ASSERT_GT(image.width, 0);
    const double dots_per_mm = dpi / 25.4;
    EXPECT_EQ(image.width, std::lround(210 * dots_per_mm));
    const std::vector<InkRun> runs = runs_along(image, dots_per_mm, 11.0, 274.0);
    const int narrow = dpi / 100;
    ASSERT_EQ(runs.size(), expected.size()) << dpi << " dpi";
    for (std::size_t i = 0; i < runs.size(); ++i)
      EXPECT_EQ(runs[i].length, expected[i] * narrow) << dpi << " dpi, run " << i;
  }
}


// An 8 x 4 navy image in each format the slip takes, as image tools write them.
const std::string kNavyPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x08\x00\x00\x00\x04\x01\x03\x00"
    "\x00\x00\x89\x03\xec\xb3\x00\x00\x00\x03\x50\x4c\x54\x45\x00\x00\x80\x4a\xc2\xbe\xfa\x00\x00\x00\x0b\x49\x44"
    "\x41\x54\x08\xd7\x63\x60\x80\x00\x00\x00\x08\x00\x01\x2f\x20\xdd\x31\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42"
    "\x60\x82",
    83);
const std::string kNavyJpeg(
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43\x00\x02\x01"
    "\x01\x01\x01\x01\x02\x01\x01\x01\x02\x02\x02\x02\x02\x04\x03\x02\x02\x02\x02\x05\x04\x04\x03\x04\x06\x05\x06"
    "\x06\x06\x05\x06\x06\x06\x07\x09\x08\x06\x07\x09\x07\x06\x06\x08\x0b\x08\x09\x0a\x0a\x0a\x0a\x0a\x06\x08\x0b"
    "\x0c\x0b\x0a\x0c\x09\x0a\x0a\x0a\xff\xdb\x00\x43\x01\x02\x02\x02\x02\x02\x02\x05\x03\x03\x05\x0a\x07\x06\x07"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\xff\xc0\x00\x11"
    "\x08\x00\x04\x00\x08\x03\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x09\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\xff\xc4\x00\x15\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x06"
    "\x09\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\xda\x00\x0c"
    "\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\x0e\xd4\x00\x5d\xff\xd9",
    286);

// The same image as a 24-bit BMP: rows from the bottom, blue first.
std::string navy_bmp() {
  const auto le = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  };
  const std::uint32_t pixels = 8 * 3 * 4;  // rows of 24 bytes need no padding
  std::string bmp = "BM" + le(54 + pixels, 4) + le(0, 4) + le(54, 4);
  bmp += le(40, 4) + le(8, 4) + le(4, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(pixels, 4) + le(2835, 4) +
         le(2835, 4) + le(0, 4) + le(0, 4);
  for (int i = 0; i < 8 * 4; ++i) bmp += std::string("\x80\x00\x00", 3);
  return bmp;
}

bool navy(std::uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r + g + std::abs(b - 0x80) <= 12;
}

// The logo box (38 x 7.5 mm at the receipt's top left) holds the image in
// its own colour when the file is a PNG, JPEG or BMP image, decoded by the
// system's imaging component; anything else leaves the bank's name there.
TEST(SlipPageOnGdi, ALogoImageStandsInForTheBanksName) {
  tarvo::test::TempDir dir;
  const struct {
    const char* name;
    std::string bytes;
    bool image;
  } files[] = {{"logo.png", kNavyPng, true},
               {"logo.jpg", kNavyJpeg, true},
               {"logo.bmp", navy_bmp(), true},
               {"texto.jpg", "isto não é uma imagem\n", false},
               {"cortado.png", kNavyPng.substr(0, 40), false}};
  const Slip slip = build_slip(test::itau_account(), test::itau_profile(), test::document(), 0);
  constexpr double kPixelsPerMm = 100 / 25.4;
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    AccountData account = test::itau_account();
    account.logo_file = dir.write(f.name, f.bytes).string();
    const PageImage page = slip_image(slip, account, test::ymd(2025, 3, 1), 100 / 72.0);
    ASSERT_GT(page.width, 0);
    int navy_pixels = 0;
    for (int y = static_cast<int>(12.5 * kPixelsPerMm); y < static_cast<int>(20 * kPixelsPerMm); ++y)
      for (int x = static_cast<int>(10 * kPixelsPerMm); x < static_cast<int>(48 * kPixelsPerMm); ++x)
        navy_pixels += navy(page.pixels[std::size_t(y) * std::size_t(page.width) + std::size_t(x)]);
    // 15 x 7.5 mm of navy at 100 dpi, give or take the edges.
    if (f.image) EXPECT_GT(navy_pixels, 1500);
    else EXPECT_EQ(navy_pixels, 0);
  }
}

}  // namespace
}  // namespace tarvo::component
