#pragma once

#include <string>
#include <string_view>

namespace tarvo::component {

// One line of a fixed-width file, filled field by field at 1-based
// positions: numbers right-aligned with zeros, texts left-aligned with
// blanks. A number longer than its field is an error of the caller (it
// throws std::length_error), a text is cut.
class FixedRecord {
 public:
  explicit FixedRecord(std::size_t width) : line_(width, ' ') {}
  explicit FixedRecord(std::string line) : line_(std::move(line)) {}

  FixedRecord& number(std::size_t from, std::size_t to, std::string_view digits);
  FixedRecord& number(std::size_t from, std::size_t to, long long value);
  FixedRecord& text(std::size_t from, std::size_t to, std::string_view ascii);

  std::string_view field(std::size_t from, std::size_t to) const;
  const std::string& line() const { return line_; }

 private:
  std::string line_;
};

}  // namespace tarvo::component
