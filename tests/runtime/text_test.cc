#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvo {
namespace {

TEST(TextEqual, LeftBeginningWithRightIsEqual) {
  EXPECT_TRUE(text_equal("ABC", "AB"));
  EXPECT_FALSE(text_equal("AB", "ABC"));
  EXPECT_TRUE(text_equal("anything", ""));
  EXPECT_TRUE(text_equal("", ""));
  EXPECT_FALSE(text_equal("", "A"));
  EXPECT_FALSE(text_equal("abc", "ABC"));  // letter case counts
}

TEST(TextEqual, ExactSettingComparesWholeTexts) {
  RunSettings exact;
  exact.exact = true;
  EXPECT_FALSE(text_equal("ABC", "AB", exact));
  EXPECT_TRUE(text_equal("AB", "AB", exact));
}

TEST(NumericValue, ReadsAsFarAsANumberGoes) {
  EXPECT_DOUBLE_EQ(numeric_value(" -3.5x"), -3.5);
  EXPECT_DOUBLE_EQ(numeric_value("12,50"), 12);
  EXPECT_DOUBLE_EQ(numeric_value("  42"), 42);
  EXPECT_DOUBLE_EQ(numeric_value("+7"), 7);
  EXPECT_DOUBLE_EQ(numeric_value("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(numeric_value(".5"), 0.5);
  EXPECT_DOUBLE_EQ(numeric_value("5."), 5);
  EXPECT_DOUBLE_EQ(numeric_value("1234.56"), 1234.56);
}

// Numbers past a double's range stay huge on their own side; ones too small
// for it are 0.
TEST(NumericValue, BeyondRangeHoldsTheSign) {
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(numeric_value(std::string(400, '9')), largest);
  EXPECT_EQ(numeric_value("-" + std::string(310, '1') + ".5"), -largest);
  EXPECT_EQ(numeric_value("000" + std::string(320, '1')), largest);
  EXPECT_EQ(numeric_value("0." + std::string(400, '0') + "1"), 0);
  EXPECT_FALSE(std::signbit(numeric_value("-0." + std::string(400, '0') + "1")));
}

TEST(NumericValue, NoNumberGivesZero) {
  for (const char* t : {"", "   ", "abc", "-", "+", ".", "- 5", "x12"})
    EXPECT_EQ(numeric_value(t), 0) << '"' << t << '"';
  EXPECT_FALSE(std::signbit(numeric_value("-")));
}

TEST(NumberText, FractionsCarryTheRunDecimals) {
  RunSettings s;
  s.decimals = 5;
  EXPECT_EQ(number_to_text(2.5, s), "2.50000");
  EXPECT_EQ(number_to_text(-0.125, s), "-0.12500");
  EXPECT_EQ(number_to_text(42, s), "42");
  EXPECT_EQ(number_to_text(-7, s), "-7");
}

TEST(NumberText, FixedRoundsHalfAwayFromZero) {
  EXPECT_EQ(fixed_text(2, 2), "2.00");
  EXPECT_EQ(fixed_text(100 * 0.0006666666666666666, 2), "0.07");
  EXPECT_EQ(fixed_text(1234.56 * 0.02, 2), "24.69");
  EXPECT_EQ(fixed_text(1234.56 * 0.0006666666666666666, 2), "0.82");
  EXPECT_EQ(fixed_text(0.125, 2), "0.13");
  EXPECT_EQ(fixed_text(1.005, 2), "1.01");
  EXPECT_EQ(fixed_text(-0.004, 2), "0.00");
  EXPECT_EQ(fixed_text(1234567.891, 2), "1234567.89");
}

TEST(Text, TrimAndPositions) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(right("abc", 4), "abc");
  EXPECT_EQ(right("abcdef", 4), "cdef");
  EXPECT_EQ(from_position("abcdef", 3), "cdef");
  EXPECT_EQ(from_position("abc", 9), "");
  EXPECT_EQ(pad_right("ab", 4), "ab  ");
  EXPECT_EQ(ifind("xx STATIC Function tarvo", "static function Tarvo"), 4u);
  EXPECT_EQ(ifind("abc", "d"), 0u);
}

TEST(Text, Cp1252RoundTrip) {
  const std::string bytes = "Impress\xE3o \x80 \x93ok\x94";
  const std::string utf8 = cp1252_to_utf8(bytes);
  EXPECT_EQ(utf8, "Impressão € “ok”");
  EXPECT_EQ(utf8_to_cp1252(utf8), bytes);
  // The five unassigned bytes come back as themselves, not as "?".
  const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(unassigned)), unassigned);
}

}  // namespace
}  // namespace tarvo
