#include "runtime/date.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

RunSettings run_settings() {
  RunSettings s;
  s.century = true;
  s.epoch = 1925;
  return s;
}

TEST(Date, TwoDigitYearsFallInTheEpochWindow) {
  const RunSettings s = run_settings();
  EXPECT_EQ(date_from_text("01/02/24", s).year(), 2024);
  EXPECT_EQ(date_from_text("01/02/25", s).year(), 1925);
  EXPECT_EQ(date_from_text("01/02/99", s).year(), 1999);
  EXPECT_EQ(date_from_text("01/02/00", s).year(), 2000);
  EXPECT_EQ(date_from_text("31/12/2024", s).year(), 2024);
}

TEST(Date, ReadsDayFirstAndPrintsFourDigitYears) {
  const RunSettings s = run_settings();
  const Date d = date_from_text("05/11/2026", s);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d.day(), 5);
  EXPECT_EQ(d.month(), 11);
  EXPECT_EQ(date_to_text(d, s), "05/11/2026");
}

TEST(Date, InvalidTextsGiveTheEmptyDate) {
  const RunSettings s = run_settings();
  for (const char* t : {"", "  /  /    ", "31/02/2024", "00/01/2024", "12/13/2024", "abc",
                        "01/01", "01/01/2024x"})
    EXPECT_TRUE(date_from_text(t, s).empty()) << t;
  EXPECT_EQ(date_to_text(Date{}, s), "  /  /    ");
  EXPECT_FALSE(date_from_text("29/02/2024", s).empty());
}

TEST(Date, DayCountsRoundTrip) {
  const Date d = *Date::from_ymd(1997, 10, 7);
  const Date later = Date::from_days_since_epoch(d.days_since_epoch() + 1000);
  EXPECT_EQ(later, *Date::from_ymd(2000, 7, 3));
}

}  // namespace
}  // namespace tarvo
