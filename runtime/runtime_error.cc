#include "runtime/runtime_error.h"

namespace tarvo {

std::string describe(const RuntimeError& e) {
  std::string out = "Erro de execução " + e.subsystem + "/" + std::to_string(e.gencode);
  if (e.subcode != 0) out += " (subcódigo " + std::to_string(e.subcode) + ")";
  out += "\nDescrição: " + (e.description.empty() ? std::string("sem descrição") : e.description);
  if (!e.operation.empty()) out += "\nOperação: " + e.operation;
  out += "\nA impressão foi interrompida.";
  return out;
}

}  // namespace tarvo
