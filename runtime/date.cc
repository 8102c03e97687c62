#include "runtime/date.h"

#include <array>
#include <cstdio>

namespace tarvo {
namespace {

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap(y) ? 29 : kDays[static_cast<std::size_t>(m - 1)];
}

// Reads the next run of digits, skipping anything that is not a digit first.
// Returns -1 when there is none.
int next_number(std::string_view text, std::size_t& pos, int& digits) {
  while (pos < text.size() && (text[pos] < '0' || text[pos] > '9')) {
    if (text[pos] != ' ' && text[pos] != '/' && text[pos] != '-' && text[pos] != '.') return -1;
    ++pos;
  }
  if (pos == text.size()) return -1;
  int value = 0;
  digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (digits < 6) value = value * 10 + (text[pos] - '0');
    ++digits;
    ++pos;
  }
  return value;
}

}  // namespace

std::optional<Date> Date::from_ymd(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > days_in_month(year, month))
    return std::nullopt;
  Date d;
  d.year_ = year;
  d.month_ = month;
  d.day_ = day;
  return d;
}

// Civil-from-days and days-from-civil after H. Hinnant's public algorithms.
long Date::days_since_epoch() const {
  int y = year_ - (month_ <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long mp = (month_ + 9) % 12;
  const long doy = (153 * mp + 2) / 5 + day_ - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date Date::from_days_since_epoch(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  return from_ymd(y, m, d).value_or(Date{});
}

Date date_from_text(std::string_view text, const RunSettings& settings) {
  std::size_t pos = 0;
  int digits = 0;
  const int day = next_number(text, pos, digits);
  const int month = next_number(text, pos, digits);
  int year_digits = 0;
  int year = next_number(text, pos, year_digits);
  if (day < 0 || month < 0 || year < 0) return {};
  for (; pos < text.size(); ++pos)
    if (text[pos] != ' ') return {};
  if (year_digits <= 2) {
    // The epoch opens a hundred-year window: with 1925, 25..99 are 19yy and
    // 00..24 are 20yy.
    const int century = settings.epoch / 100 * 100;
    year += century;
    if (year < settings.epoch) year += 100;
  }
  return Date::from_ymd(year, month, day).value_or(Date{});
}

std::string date_to_text(const Date& date, const RunSettings& settings) {
  if (date.empty()) return settings.century ? "  /  /    " : "  /  /  ";
  char buf[16];
  if (settings.century)
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date.day(), date.month(), date.year());
  else
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", date.day(), date.month(), date.year() % 100);
  return buf;
}

}  // namespace tarvo
