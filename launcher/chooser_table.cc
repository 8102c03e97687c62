#include "launcher/chooser_table.h"

#include "launcher/printer_table.h"
#include "launcher/shown_text.h"
#include "runtime/text.h"

namespace tarvo {

std::string ImpGridTable::cell_text(std::size_t row) const {
  if (row >= table_.rows.size()) return {};
  const ImpRow& r = table_.rows[row];
  // The table keeps the first 70 characters of what the grid shows; a
  // longer name, and the default's mark after it, are shown whole from the
  // printer's name, so that neither the mark nor the end of a name is lost.
  const std::string name(trim(r.impressora));
  std::string whole = name;
  if (!default_printer_.empty() && name == default_printer_) whole += kMarcaPadrao;
  if (r.nomeimpres != pad_right(whole, ImpTable::kWidth)) whole = r.nomeimpres;
  return shown_text(trim(whole));
}

void ImpGridTable::move_to_row(std::size_t row) {
  if (row < table_.rows.size()) table_.current = row;
}

}  // namespace tarvo
