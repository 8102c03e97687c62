// Prints the bar code, the linha digitável, the due date and the amount of
// every test slip, one slip a line, for the independent validator.
#include <cstdio>

#include "bank_cases.h"

int main() {
  for (const auto& c : tarvo::component::test::bank_cases()) {
    const auto s = tarvo::component::test::slip_of(c);
    std::printf("%s %s %04d-%02d-%02d %.2f\n", s.bar_code.c_str(), s.typeable_line.c_str(), c.due.year(),
                c.due.month(), c.due.day(), c.amount);
  }
  return 0;
}
