#include "engine/control_language.h"

#include "runtime/text.h"

namespace tarvo {

std::string upper_tail(std::string_view text) { return upper(right(text, kTailLength)); }

std::string IMPRESSAO_DIRETA(std::string_view text) {
  return upper_tail(text).find(kMarcaDireta) != std::string::npos ? "2" : "3";
}

bool DESCARTA_COMANDO_POR_SER_CONFIGURACAO(double line, double column, std::string_view content) {
  if (line != -13 || column != -15) return false;
  const std::string up = upper(content);
  return text_equal(up, kMarcaDireta) || text_equal(up, kMarcaPreview);
}

}  // namespace tarvo
