#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/date.h"

namespace tarvo::component {

// The due-date factor: days since 1997-10-07, which passed 9999 on
// 2025-02-22 and restarted at 1000 there, and so again every 9,000 days.
// Empty for a date before the first factor in use (1000, 2000-07-03) and
// for the empty date.
std::optional<int> due_date_factor(const Date& due);

// An amount in cents as the bar code's 10 digits; empty when it is negative,
// not a number, or does not fit.
std::optional<std::string> amount_field(double amount);

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

}  // namespace tarvo::component
