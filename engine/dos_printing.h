#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// The temporary file that carries DOS-standard data to the spooler, in the
// current folder.
inline constexpr std::string_view kArquivoTemporarioDos = "trv.txt";
inline constexpr std::string_view kTituloDos = "Teste Impressao";

// The printer data of a DOS-standard file, whose tail carries the
// DOS-standard marker; nullopt for any other file. A file that begins with
// the marker loses its first 27 characters; any other loses the marker
// where it stands in the tail (its last one there), and nothing else.
std::optional<DosData> dos_printer_data(std::string_view text);

// DOS-standard printing: when `text` is a DOS-standard file, sends its
// printer data to the printer of the table's current row as a raw job and
// returns true (whatever became of the send; a failure is shown in the stop
// box once the temporary file is gone); otherwise returns false and does
// nothing. When the printer table was never opened (a file that asked to
// print at once), the driver's printer is used.
bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text);

// The outcome text of a raw send with result `result`. `cfile` stands for
// the printer data in it; `printer` and `reason` name the printer and the
// spooler's words where the text needs them.
std::string dos_outcome_text(double result, std::string_view cfile, std::string_view printer = {},
                             std::string_view reason = {});

}  // namespace tarvo
