#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "component/bar_code.h"
#include "component/slip_page.h"
#include "slip_fixtures.h"

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

}  // namespace
}  // namespace tarvo::component
