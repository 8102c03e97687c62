#include "engine/command_activation.h"

#include <gtest/gtest.h>

#include "tests/engine/page_fixture.h"

namespace tarvo {
namespace {

struct Activation : ::testing::Test {
  test::RecordedJob job;
  WIN32PRN& page = job.printing_page();
  void apply(std::string_view codes) { ATIVAR_NA_IMPRESSORA(job.state, 3, 4, codes); }
};

TEST_F(Activation, BoldAndItalicWrittenTogether) {
  apply("NIII");
  EXPECT_EQ(page.fBold, 800);
  EXPECT_TRUE(page.fItalic);
  EXPECT_EQ(job.font().weight, 800);
  EXPECT_TRUE(job.font().italic);
  apply("NDIDSI");
  EXPECT_EQ(job.font().weight, 400);
  EXPECT_FALSE(job.font().italic);
  EXPECT_TRUE(job.font().underline);
}

TEST_F(Activation, PairsAreReadTwoCharactersAtATime) {
  apply("NI ND");  // then " N" and "D": neither is a code
  EXPECT_EQ(page.fBold, 800);
  apply("ND");
  apply("NI  ND");  // the blank pair ends the string
  EXPECT_EQ(page.fBold, 800);
  apply("ND");
  apply("ni");  // codes are upper case
  EXPECT_EQ(page.fBold, 0);
  apply("XNI");  // "XN", then "I"
  EXPECT_EQ(page.fBold, 0);
}

TEST_F(Activation, PitchCodeResetsTheAttributesBeforeIt) {
  apply("10NI");
  EXPECT_EQ(job.font().width, 60);
  EXPECT_EQ(job.font().weight, 800);
  apply("NISIII10");
  EXPECT_EQ(job.font().width, 60);
  EXPECT_EQ(job.font().weight, 400);
  EXPECT_FALSE(job.font().underline);
  EXPECT_FALSE(job.font().italic);
  EXPECT_EQ(job.font().face, "Courier New");
  EXPECT_EQ(job.font().height, -92);  // 11 points
}

TEST_F(Activation, PitchWidthsAt600DotsPerInch) {
  const std::pair<std::string_view, int> pitches[] = {{"10", 60}, {"12", 50}, {"17", 35}, {"20", 30}};
  for (auto [code, dots] : pitches) {
    apply(code);
    EXPECT_EQ(job.font().width, dots) << code;
    EXPECT_EQ(page.CharWidth, dots) << code;
  }
}

TEST_F(Activation, ExpandedAndCutChangeNothing) {
  const std::size_t fonts = job.rec.fonts.size();
  apply("EIEDCP");
  EXPECT_EQ(job.rec.fonts.size(), fonts);
  EXPECT_EQ(page.LineHeight, 100);
}

TEST_F(Activation, ItemFontNeedsNameSizeAndHeight) {
  ATIVAR_NA_IMPRESSORA(job.state, 1, 1, "17", {}, {}, {}, {}, std::string("Arial"), 9.0, 0.0, 0.0);
  EXPECT_EQ(job.font().face, "Courier New");
  EXPECT_EQ(job.font().width, 35);

  // Height rides on the width argument, width on the weight argument.
  ATIVAR_NA_IMPRESSORA(job.state, 1, 1, "II", {}, {}, {}, {}, std::string("Arial"), 10.0, 12.0,
                       700.0);
  EXPECT_EQ(job.font().face, "Arial");
  EXPECT_EQ(job.font().height, -83);  // 10 points at 600 dpi
  EXPECT_EQ(job.font().width, 50);    // 12 characters per inch
  EXPECT_EQ(job.font().weight, 700);
  EXPECT_FALSE(job.font().italic);    // the item font switches italic off again

  // A width beyond any weight still asks for the heaviest face, not normal.
  ATIVAR_NA_IMPRESSORA(job.state, 1, 1, "II", {}, {}, {}, {}, std::string("Arial"), 10.0, 12.0,
                       1e12);
  EXPECT_GE(job.font().weight, 800);
}

TEST_F(Activation, LineSpacingFromTheResolution) {
  apply("8L");
  EXPECT_EQ(page.LineHeight, 75);
  apply("6L");
  EXPECT_EQ(page.LineHeight, 100);

  test::RecordedJob coarse;
  coarse.devices.dpi_x = coarse.devices.dpi_y = 300;
  WIN32PRN& p = coarse.printing_page();
  ATIVAR_NA_IMPRESSORA(coarse.state, 0, 0, "8L");
  EXPECT_EQ(p.LineHeight, 37);
}

TEST_F(Activation, SettingsByCodeOrLongName) {
  ATIVA_TAM_ALT_DA_LETRA(job.state, "VI20CPI");
  EXPECT_EQ(job.font().width, 30);
  ATIVA_TAM_ALT_DA_LETRA(job.state, " 12 ");
  EXPECT_EQ(job.font().width, 50);
  ATIVA_TAM_ALT_DA_LETRA(job.state, "vi17cpi");
  EXPECT_EQ(job.font().width, 35);
  ATIVA_TAM_ALT_DA_LETRA(job.state, "8l");  // spacing codes in either case
  EXPECT_EQ(page.LineHeight, 75);
  ATIVA_TAM_ALT_DA_LETRA(job.state, "Vi6lPp");
  EXPECT_EQ(page.LineHeight, 100);

  const std::size_t fonts = job.rec.fonts.size();
  job.state.W_PROW = job.state.W_PCOL = 7;
  ATIVA_TAM_ALT_DA_LETRA(job.state, "NI");  // not a setting
  ATIVA_TAM_ALT_DA_LETRA(job.state, "XX");
  EXPECT_EQ(job.rec.fonts.size(), fonts);
  EXPECT_EQ(page.fBold, 0);
  EXPECT_EQ(job.state.W_PROW, 0);
  EXPECT_EQ(job.state.W_PCOL, 0);
}

}  // namespace
}  // namespace tarvo
