#include "engine/dos_printing.h"

#include <filesystem>

#include "engine/control_language.h"
#include "printing/temp_file.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr char kFimDeArquivo = 0x1A;
constexpr std::string_view kPrefixoMsg = "PrintFileRaw(): ";
// A message box shows this much of the printer data, then its length.
constexpr std::size_t kTrechoMostrado = 60;

std::string printer_of_job(const JobState& s) {
  if (s.IMP.open) return s.IMP.current_printer();
  return std::string(trim(s.job_printer));
}

std::string current_folder() {
  std::error_code ec;
  const auto folder = std::filesystem::current_path(ec);
  return ec ? std::string(".") : folder.string();
}

std::string temp_file_problem(const LockedTempFile& file) {
  std::string text = std::string(kPrefixoMsg) + "Não foi possível gravar o arquivo temporário \"" +
                     file.path() + "\" na pasta " + current_folder();
  switch (file.problem()) {
    case LockedTempFile::Problem::link: return text + " (o nome é um link simbólico)";
    case LockedTempFile::Problem::not_a_file: return text + " (o nome não é um arquivo comum)";
    default: return text;
  }
}

// The printer data as a message shows it: the first characters, readable,
// and the length.
std::string short_form(std::string_view cfile) {
  std::string head(cfile.substr(0, kTrechoMostrado));
  for (char& c : head)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  std::string text = cp1252_to_utf8(head);
  if (cfile.size() > kTrechoMostrado) text += "...";
  return text + " (" + std::to_string(cfile.size()) + " bytes)";
}

// Sends CFILE through the temporary file; the result goes to NRESULT.
void send_through_temp_file(JobServices& job) {
  JobState& s = job.state;
  LockedTempFile file{std::string(kArquivoTemporarioDos)};
  if (!file.write(s.CFILE) || !file.write(std::string_view(&kFimDeArquivo, 1))) {
    s.CMSG = temp_file_problem(file);
    job.messages.G_ERRO(Value(s.CMSG));
    return;
  }
  s.NRESULT = job.printers.PRINTFILERAW(Value(s.CPRINTER), Value(file.path()),
                                        Value(std::string(kTituloDos)));
  s.CMSG = dos_outcome_text(s.NRESULT, s.CFILE);
  if (s.NRESULT != 1)
    job.messages.G_ERRO(Value(s.NRESULT == -6 ? dos_outcome_text(-6, short_form(s.CFILE)) : s.CMSG));
}

}  // namespace

std::string dos_outcome_text(double result, std::string_view cfile) {
  std::string text(kPrefixoMsg);
  if (result == -1) return text + "Invalid parameters passed to function";
  if (result == -2) return text + "WinAPI OpenPrinter() call failed";
  if (result == -3) return text + "WinAPI StartDocPrinter() call failed";
  if (result == -4) return text + "WinAPI StartPagePrinter() call failed";
  if (result == -5) return text + "WinAPI malloc() of memory failed";
  if (result == -6) return text + "File " + std::string(cfile) + " not found";
  if (result == -7) return text + "WinAPI WritePrinter() call failed";
  return text + std::string(cfile) + " Impressão OK!!!";
}

bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text) {
  if (upper_tail(text).find(kMarcaPadraoDos) == std::string::npos) return false;
  JobState& s = job.state;
  const std::string_view data = text.substr(std::min(text.size(), kMarcaPadraoDos.size()));

  s.CPRINTER = printer_of_job(s);
  s.CFILE = std::string(data);
  s.NRESULT = -1;
  s.CMSG = std::string(kPrefixoMsg);

  // Checked before anything is written, so no temporary file is left.
  if (s.CPRINTER.empty()) {
    job.messages.G_ERRO(Value("Não há impressora Instalada."));
    return true;
  }
  send_through_temp_file(job);
  return true;
}

}  // namespace tarvo
