#include "launcher/printer_table.h"

#include "runtime/text.h"

namespace tarvo {

void CRIA_TMP(JobState& state) {
  state.IMP = ImpTable{};
  state.IMP.open = true;
  state.CALIAS = "IMP";
}

void fill_printer_table(ImpTable& table, const std::vector<std::string>& installed,
                        std::string_view default_printer) {
  const std::string_view padrao = trim(default_printer);
  if (!padrao.empty()) table.append(padrao, std::string(padrao) + std::string(kMarcaPadrao));
  for (const std::string& name : installed) {
    const std::string_view nome = trim(name);
    // Non-exact: a printer whose name begins the default's name is the
    // default itself (or taken for it) and is not listed twice.
    if (!padrao.empty() && text_equal(padrao, nome)) continue;
    table.append(nome, nome);
  }
  table.current = 0;
}

}  // namespace tarvo
