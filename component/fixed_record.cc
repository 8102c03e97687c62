#include "component/fixed_record.h"

#include <stdexcept>

namespace tarvo::component {

FixedRecord& FixedRecord::number(std::size_t from, std::size_t to, std::string_view digits) {
  const std::size_t width = to - from + 1;
  if (digits.size() > width)
    throw std::length_error(std::string(digits) + " não cabe nas posições " + std::to_string(from) + " a " +
                            std::to_string(to));
  line_.replace(from - 1, width, std::string(width - digits.size(), '0') + std::string(digits));
  return *this;
}

FixedRecord& FixedRecord::number(std::size_t from, std::size_t to, long long value) {
  return number(from, to, std::to_string(value < 0 ? 0 : value));
}

FixedRecord& FixedRecord::text(std::size_t from, std::size_t to, std::string_view ascii) {
  const std::size_t width = to - from + 1;
  std::string t(ascii.substr(0, width));
  t.resize(width, ' ');
  line_.replace(from - 1, width, t);
  return *this;
}

std::string_view FixedRecord::field(std::size_t from, std::size_t to) const {
  return std::string_view(line_).substr(from - 1, to - from + 1);
}

}  // namespace tarvo::component
