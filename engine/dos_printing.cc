#include "engine/dos_printing.h"

#include "engine/control_language.h"

namespace tarvo {

bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices&, std::string_view text) {
  return upper_tail(text).find(kMarcaPadraoDos) != std::string::npos;
}

}  // namespace tarvo
