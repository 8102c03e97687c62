#include "component/check_digits.h"

#include <cctype>

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

CheckedNumber split_check_digit(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const std::size_t hyphen = text.rfind('-');
  if (hyphen != std::string_view::npos) {
    std::string_view check = text.substr(hyphen + 1);
    while (!check.empty() && check.front() == ' ') check.remove_prefix(1);
    if (check.size() == 1) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(check[0])));
      if ((c >= '0' && c <= '9') || c == 'X' || c == 'P') return {digits_of(text.substr(0, hyphen)), std::string(1, c)};
    }
  }
  return {digits_of(text), {}};
}

std::string zero_pad(std::string_view digits, std::size_t width) {
  if (digits.size() >= width) return std::string(digits.substr(digits.size() - width));
  return std::string(width - digits.size(), '0') + std::string(digits);
}

}  // namespace tarvo::component
