#include "engine/text_placement.h"

#include "engine/command_activation.h"
#include "engine/job_state.h"
#include "printing/win32prn.h"

namespace tarvo {
namespace {

bool has_codes(const std::optional<std::string_view>& codes) { return codes && !codes->empty(); }

}  // namespace

void IMP_SAY(JobState& job, const SayItem& item) {
  if (!job.OPRINTER) return;
  if (has_codes(item.before)) {
    ATIVAR_NA_IMPRESSORA(job, item.row, item.column, *item.before, item.row_before,
                         item.column_before, item.spacing, item.spacing_column, item.font_before,
                         item.size_before, item.height_before, item.width_before);
  }
  // Rows are drawn bottom-aligned, so the text of row r sits in the band
  // between rows r and r + 1.
  job.OPRINTER->SetPrc(item.row + 1, item.column);
  job.OPRINTER->TextOut(item.text);
  if (has_codes(item.after)) {
    ATIVAR_NA_IMPRESSORA(job, item.row, item.column, *item.after, item.row_after,
                         item.column_after, item.spacing, item.spacing_column, item.font_after,
                         item.size_after, item.height_after, item.width_after);
  }
}

}  // namespace tarvo
