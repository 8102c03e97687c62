#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/job_state.h"
#include "runtime/text.h"
#include "ui/window.h"

namespace tarvo {

// The printer table IMP as the chooser's grid reads it: one column showing
// `nomeimpres`, trimmed (whole when the table cut it); the grid's row moves
// the table's current row. `default_printer` names the row with the mark.
class ImpGridTable final : public ui::GridTable {
 public:
  ImpGridTable(ImpTable& table, std::string_view default_printer)
      : table_(table), default_printer_(trim(default_printer)) {}
  std::size_t row_count() const override { return table_.rows.size(); }
  std::string cell_text(std::size_t row) const override;
  std::size_t current_row() const override { return table_.current; }
  void move_to_row(std::size_t row) override;

 private:
  ImpTable& table_;
  std::string default_printer_;
};

}  // namespace tarvo
