#include "engine/slip_issuing.h"

#include "engine/control_language.h"

namespace tarvo {

bool IMPRESSAO_DE_BOLETOS(std::string_view text) {
  const std::size_t limit = std::min<std::size_t>(text.size(), 50);
  for (std::size_t i = 0; i < limit; ++i)
    if (text.substr(i, kInicioBoleto.size()) == kInicioBoleto) return true;
  return false;
}

void issue_slip_file(JobServices&) {}

}  // namespace tarvo
