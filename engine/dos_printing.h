#pragma once

#include <string>
#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// The temporary file that carries DOS-standard data to the spooler, in the
// current folder.
inline constexpr std::string_view kArquivoTemporarioDos = "trv.txt";
inline constexpr std::string_view kTituloDos = "Teste Impressao";

// DOS-standard printing: when the text's tail carries the DOS-standard
// marker, sends the text after its first 27 characters to the printer of the
// table's current row as a raw job and returns true (whatever became of the
// send; a failure is shown in the stop box); otherwise returns false and does
// nothing. When the printer table was never opened (a file that asked to
// print at once), the driver's printer is used.
bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text);

// The outcome text of a raw send with result `result`, for data `cfile`.
std::string dos_outcome_text(double result, std::string_view cfile);

}  // namespace tarvo
