#include "ui/toolkit.h"

#include <cstdlib>
#include <string_view>

namespace tarvo::ui {

bool unattended_run() {
  const char* v = std::getenv("TARVOUSB_UNATTENDED");
  return v != nullptr && *v != '\0' && std::string_view(v) != "0";
}

}  // namespace tarvo::ui
