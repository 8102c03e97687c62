#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/job_state.h"
#include "ui/window.h"

namespace tarvo {

// The printer table IMP as the chooser's grid reads it: one column showing
// `nomeimpres`, trimmed; the grid's row moves the table's current row.
class ImpGridTable final : public ui::GridTable {
 public:
  explicit ImpGridTable(ImpTable& table) : table_(table) {}
  std::size_t row_count() const override { return table_.rows.size(); }
  std::string cell_text(std::size_t row) const override;
  std::size_t current_row() const override { return table_.current; }
  void move_to_row(std::size_t row) override;

 private:
  ImpTable& table_;
};

// Text as the window shows it (UTF-8): UTF-8 is kept, any other bytes are
// read as Windows-1252, and a last character cut short by the table's width
// is dropped.
std::string shown_text(std::string_view bytes);

}  // namespace tarvo
