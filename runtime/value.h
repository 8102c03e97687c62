#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "runtime/date.h"
#include "runtime/run_settings.h"

namespace tarvo {

struct Absent {
  bool operator==(const Absent&) const = default;
};

// One value of the runtime: absent, text, number, date or logical. Texts are
// byte strings in the print file's code page.
class Value {
 public:
  using Storage = std::variant<Absent, std::string, double, Date, bool>;

  Value() = default;
  Value(std::string text) : v_(std::move(text)) {}
  Value(std::string_view text) : v_(std::string(text)) {}
  Value(const char* text) : v_(std::string(text)) {}
  Value(double number) : v_(number) {}
  Value(int number) : v_(static_cast<double>(number)) {}
  Value(Date date) : v_(date) {}
  Value(bool logical) : v_(logical) {}

  bool is_absent() const { return std::holds_alternative<Absent>(v_); }
  bool is_text() const { return std::holds_alternative<std::string>(v_); }
  bool is_number() const { return std::holds_alternative<double>(v_); }
  bool is_date() const { return std::holds_alternative<Date>(v_); }
  bool is_logical() const { return std::holds_alternative<bool>(v_); }

  // Type letter as the runtime names it: U, C, N, D or L.
  char type_letter() const;

  // Each accessor expects its own kind; a wrong kind is a runtime error
  // (RuntimeError, general code 1001 "argument error").
  const std::string& text() const;
  double number() const;
  const Date& date() const;
  bool logical() const;

  const Storage& storage() const { return v_; }
  bool operator==(const Value&) const = default;

 private:
  Storage v_;
};

// How a value reads in a message: texts as they are, whole numbers in plain
// digits, fractions with the run's decimals, dates in the run's format,
// logicals as ".T." / ".F.", absent as "NIL".
std::string display_text(const Value& value, const RunSettings& settings);

}  // namespace tarvo
