#include <cstdio>

#include "ui/standard_error.h"

namespace tarvo::ui {

void write_standard_error(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace tarvo::ui
