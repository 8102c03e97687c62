#include "engine/text_placement.h"

#include <gtest/gtest.h>

#include "tests/engine/page_fixture.h"

namespace tarvo {
namespace {

struct Placement : ::testing::Test {
  test::RecordedJob job;
  WIN32PRN& page = job.printing_page();
  const PageRecording::Drawn& last() const { return job.rec.texts.back(); }
};

TEST_F(Placement, TextGoesOneRowBelowTheItemRow) {
  IMP_SAY(job.state, {.row = 2, .column = 5, .text = "valor"});
  ASSERT_EQ(job.rec.texts.size(), 1u);
  EXPECT_EQ(last().x, 5 * 60);
  EXPECT_EQ(last().y, 3 * 100);
  EXPECT_EQ(last().text, "valor");
}

TEST_F(Placement, CommandOnlyItemSetsBoldAndMovesThePosition) {
  IMP_SAY(job.state, {.row = 7, .column = 3, .text = "", .before = "NI"});
  EXPECT_TRUE(job.rec.texts.empty());
  EXPECT_EQ(page.fBold, 800);
  EXPECT_EQ(page.PosX, 180);
  EXPECT_EQ(page.PosY, 800);
}

TEST_F(Placement, AfterCodesActOnWhatFollows) {
  IMP_SAY(job.state, {.row = 1, .column = 1, .text = "negrito", .before = "NI", .after = "ND"});
  IMP_SAY(job.state, {.row = 2, .column = 1, .text = "normal"});
  ASSERT_EQ(job.rec.texts.size(), 2u);
  EXPECT_EQ(job.rec.texts[0].font.weight, 800);
  EXPECT_EQ(job.rec.texts[1].font.weight, 400);
}

TEST_F(Placement, EachSideTakesItsOwnFontOnlyWithItsCodes) {
  IMP_SAY(job.state, {.row = 1, .column = 1, .text = "a", .before = "", .after = "II",
                      .font_before = "Arial", .size_before = 10, .height_before = 12,
                      .font_after = "Verdana", .size_after = 8, .height_after = 20,
                      .width_after = 800, .width_before = 0});
  EXPECT_EQ(job.rec.texts[0].font.face, "Courier New");  // no before codes: no before font
  EXPECT_EQ(job.font().face, "Verdana");
  EXPECT_EQ(job.font().width, 30);
  EXPECT_EQ(job.font().weight, 800);

  IMP_SAY(job.state, {.row = 2, .column = 1, .text = "b", .before = "SI", .after = "",
                      .font_before = "Arial", .size_before = 10, .height_before = 12,
                      .font_after = "Verdana", .size_after = 8, .height_after = 20,
                      .width_after = 800, .width_before = 0});
  EXPECT_EQ(last().font.face, "Arial");
  EXPECT_EQ(last().font.weight, 400);
  EXPECT_FALSE(last().font.underline);  // the item font comes after the codes
}

TEST_F(Placement, AbsentFontValuesKeepTheFont) {
  const std::size_t fonts = job.rec.fonts.size();
  IMP_SAY(job.state, {.row = 1, .column = 1, .text = "a", .before = "EI",
                      .font_before = "Arial"});
  EXPECT_EQ(job.rec.fonts.size(), fonts);
}

}  // namespace
}  // namespace tarvo
