#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// The temporary file that carries DOS-standard data to the spooler, in the
// current folder.
inline constexpr std::string_view kArquivoTemporarioDos = "trv.txt";
inline constexpr std::string_view kTituloDos = "Teste Impressao";
inline constexpr std::string_view kSemImpressora = "Não há impressora Instalada.";

// The printer data of a DOS-standard file, whose tail carries the
// DOS-standard marker; nullopt for any other file. A file that begins with
// the marker loses its first 27 characters; any other loses the marker
// where it stands in the tail (its last one there), and nothing else.
std::optional<DosData> dos_printer_data(std::string_view text);

// The printer a DOS-standard file goes to: the printer table's current row,
// or the driver's printer when the table was never opened (a file that
// asked to print at once); trimmed, empty when there is none.
std::string dos_printer(const JobState& s);

// Given the printer data when the printer refused it raw, once the
// temporary file is gone; true when it dealt with the refusal, so that the
// failure box is not shown.
using DosRefusal = std::function<bool(const DosData&)>;

// DOS-standard printing: when `text` is a DOS-standard file, sends its
// printer data to dos_printer() as a raw job and returns true (whatever
// became of the send; a failure is shown in the stop box once the temporary
// file is gone, a refusal by the printer first offered to `refused`);
// otherwise returns false and does nothing.
bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text, const DosRefusal& refused = {});

// The outcome text of a raw send with result `result`. `cfile` stands for
// the printer data in it; `printer` and `reason` name the printer and the
// spooler's words where the text needs them.
std::string dos_outcome_text(double result, std::string_view cfile, std::string_view printer = {},
                             std::string_view reason = {});

}  // namespace tarvo
