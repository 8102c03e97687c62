#include "component/check_digits.h"

namespace tarvo::component {

std::string digits_of(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

int weighted_sum(std::string_view digits, int max_weight) {
  int sum = 0, weight = 2;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum += (*it - '0') * weight;
    weight = weight == max_weight ? 2 : weight + 1;
  }
  return sum;
}

int mod10(std::string_view digits) {
  int sum = 0, weight = 2;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    const int product = (*it - '0') * weight;
    sum += product / 10 + product % 10;
    weight = weight == 2 ? 1 : 2;
  }
  return (10 - sum % 10) % 10;
}

int bar_code_check_digit(std::string_view digits43) {
  const int dv = 11 - weighted_sum(digits43, 9) % 11;
  return (dv == 0 || dv == 10 || dv == 11) ? 1 : dv;
}

int mod11_above9_zero(std::string_view digits) {
  const int dv = 11 - weighted_sum(digits, 9) % 11;
  return dv > 9 ? 0 : dv;
}

std::string zero_pad(std::string_view digits, std::size_t width) {
  if (digits.size() >= width) return std::string(digits.substr(digits.size() - width));
  return std::string(width - digits.size(), '0') + std::string(digits);
}

}  // namespace tarvo::component
