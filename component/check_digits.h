#pragma once

#include <string>
#include <string_view>

namespace tarvo::component {

// Digits only: every other character of the text dropped.
std::string digits_of(std::string_view text);

// Sum of the digits times weights 2, 3, ... up to `max_weight`, starting
// again at 2, taken from the rightmost digit leftwards.
int weighted_sum(std::string_view digits, int max_weight);

// Mod 10 with weights 2 and 1 from the right, the digits of each product
// added: the check digit of the fields of the linha digitável and Itaú's DAC.
int mod10(std::string_view digits);

// The bar code's general check digit: mod 11 with weights 2 to 9 from the
// right; a result of 0, 10 or 11 becomes 1.
int bar_code_check_digit(std::string_view digits43);

// Mod 11 with weights 2 to 9 from the right, 11 minus the remainder, and a
// result above 9 becomes 0 (Caixa's rule for its check digits).
int mod11_above9_zero(std::string_view digits);

// A number as people write it, perhaps with its check digit after a hyphen
// ("0403005-2", "1584-X"): the digits before the hyphen, and that check
// digit upper-cased (a digit, "X" or "P"; empty when the text has none).
struct CheckedNumber {
  std::string digits;
  std::string check;
};
CheckedNumber split_check_digit(std::string_view text);

// Zero-padded to `width`; the caller has checked that the digits fit.
std::string zero_pad(std::string_view digits, std::size_t width);

}  // namespace tarvo::component
