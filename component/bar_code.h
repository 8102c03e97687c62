#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/date.h"

namespace tarvo::component {

// The due-date factor: days since 1997-10-07, which passed 9999 on
// 2025-02-22 and restarted at 1000 there, and so again every 9,000 days.
// Empty for a date before the first factor in use (1000, 2000-07-03) and
// for the empty date.
std::optional<int> due_date_factor(const Date& due);

// An amount in whole cents, rounded once, half up, on the amount as it was
// written (1.005 gives 101, though the nearest double lies just below
// 1.005); empty when it is negative or not a number. Every place that shows
// or encodes an amount takes this one value.
std::optional<std::int64_t> amount_in_cents(double amount);

// Cents as the bar code's 10 digits; empty when they do not fit.
std::optional<std::string> amount_field(std::int64_t cents);

// The 44 digits: bank (3), currency 9, general check digit, due-date factor
// (4), amount (10), free field (25).
std::string bar_code(std::string_view bank3, int factor, std::string_view amount10,
                     std::string_view free_field25);

// The 47 digits of the linha digitável: five fields of 10, 11, 11, 1 and 14
// digits, the first three closed by their mod-10 check digits.
std::string typeable_line(std::string_view bar_code44);

// The printed form "AAAAA.AAAAA BBBBB.BBBBBB CCCCC.CCCCCC D EEEEEEEEEEEEEE".
std::string printed_typeable_line(std::string_view typeable47);

// Checks a bar code of 44 digits: its general check digit.
bool bar_code_valid(std::string_view bar_code44);

// Bars of the Interleaved 2 of 5 symbol of a bar code, in narrow-bar units
// from the start of the symbol: each bar's left edge and width.
struct Bar {
  double x = 0, width = 0;
};
// The symbol of an even number of digits, as zint encodes it; throws
// std::runtime_error when zint refuses them.
std::vector<Bar> interleaved_2_of_5(const std::string& digits);

}  // namespace tarvo::component
