#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/run_settings.h"

namespace tarvo {

// A calendar date, or the empty date that invalid texts turn into.
class Date {
 public:
  Date() = default;  // the empty date
  static std::optional<Date> from_ymd(int year, int month, int day);

  bool empty() const { return day_ == 0; }
  int year() const { return year_; }
  int month() const { return month_; }
  int day() const { return day_; }

  // Days since 1970-01-01 (proleptic Gregorian); only for a non-empty date.
  long days_since_epoch() const;
  static Date from_days_since_epoch(long days);

  auto operator<=>(const Date&) const = default;

 private:
  int year_ = 0, month_ = 0, day_ = 0;
};

// Reads a date in the run's date format, day first ("dd/mm/yyyy" or
// "dd/mm/yy"). A two-digit year is placed against the epoch. Anything that is
// not a valid date gives the empty date.
Date date_from_text(std::string_view text, const RunSettings& settings);

// "dd/mm/yyyy" (or "dd/mm/yy" without the century); blanks for the empty date.
std::string date_to_text(const Date& date, const RunSettings& settings);

}  // namespace tarvo
