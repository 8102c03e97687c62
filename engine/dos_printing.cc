#include "engine/dos_printing.h"

#include <filesystem>
#include <system_error>

#include "engine/control_language.h"
#include "printing/temp_file.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

using R = RawResult;

constexpr char kFimDeArquivo = 0x1A;
constexpr std::string_view kPrefixoMsg = "PrintFileRaw(): ";
// A message box shows this much of the printer data, then its length.
constexpr std::size_t kTrechoMostrado = 60;

std::string current_folder() {
  std::error_code ec;
  const auto folder = std::filesystem::current_path(ec);
  return ec ? std::string(".") : folder.string();
}

// Why the system would not let the file be written, in the user's words.
std::string system_reason(std::error_code error) {
  if (error == std::errc::no_space_on_device) return "não há espaço livre no disco";
  if (error == std::errc::read_only_file_system) return "a pasta está num disco somente para leitura";
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
    return "sem permissão para gravar na pasta";
  if (error == std::errc::file_too_large) return "o arquivo passa do tamanho permitido";
  if (error == std::errc::no_such_file_or_directory) return "a pasta não existe mais";
  if (error == std::errc::io_error) return "erro de leitura ou gravação no disco";
  if (error == std::errc::device_or_resource_busy) return "o nome está sempre ocupado por outro arquivo";
  return "erro " + std::to_string(error.value()) + " do sistema";
}

std::string temp_file_problem(const LockedTempFile& file) {
  std::string text = std::string(kPrefixoMsg) + "Não foi possível gravar o arquivo temporário \"" +
                     file.path() + "\" na pasta " + current_folder();
  switch (file.problem()) {
    case LockedTempFile::Problem::link: return text + " (o nome é um link simbólico)";
    case LockedTempFile::Problem::not_a_file: return text + " (o nome não é um arquivo comum)";
    case LockedTempFile::Problem::foreign:
      return text + " (já existe um arquivo com esse nome, de outro usuário)";
    default: return file.error() ? text + " (" + system_reason(file.error()) + ")" : text;
  }
}

// The printer data as a message shows it: the first characters, readable,
// and the length.
std::string short_form(const DosData& cfile) {
  std::string head(cfile.before.substr(0, kTrechoMostrado));
  head += cfile.after.substr(0, kTrechoMostrado - head.size());
  for (char& c : head)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  std::string text = cp1252_to_utf8(head);
  if (cfile.size() > kTrechoMostrado) text += "...";
  return text + " (" + std::to_string(cfile.size()) + " bytes)";
}

// What the send reads: each piece of the printer data (and the closing
// end-of-file byte) is written to the temporary file when the send asks for
// it, then read back from the file. The disk and the print server work at
// the same time, and what is sent is what the file holds.
class ThroughTempFile final : public RawSource {
 public:
  ThroughTempFile(LockedTempFile& file, const DosData& data) : file_(file), pieces_{data.before, data.after, kFim} {}

  std::optional<std::size_t> read(std::span<char> buffer) override {
    std::size_t room = buffer.size();
    for (std::string_view& piece : pieces_) {
      const std::string_view part = piece.substr(0, room);
      if (!file_.write(part)) return std::nullopt;
      piece.remove_prefix(part.size());
      room -= part.size();
    }
    return file_.read(buffer);
  }

 private:
  static constexpr std::string_view kFim{&kFimDeArquivo, 1};
  LockedTempFile& file_;
  std::string_view pieces_[3];
};

// Sends CFILE through the temporary file; nullopt, and the reason in CMSG,
// when the file could not be written. The file is removed, and its lock
// released, before this returns: a box shown while it is held would keep
// every other run in the folder waiting.
std::optional<RawSendResult> send_through_temp_file(JobServices& job) {
  JobState& s = job.state;
  LockedTempFile file{std::string(kArquivoTemporarioDos)};
  if (!file.reserve(s.CFILE.size() + 1)) {
    s.CMSG = temp_file_problem(file);
    return std::nullopt;
  }
  ThroughTempFile source(file, s.CFILE);
  RawSendResult sent = job.printers.send_raw(s.CPRINTER, source, kTituloDos);
  if (!file.ok()) {
    s.CMSG = temp_file_problem(file);
    return std::nullopt;
  }
  return sent;
}

}  // namespace

std::string dos_outcome_text(double result, std::string_view cfile, std::string_view printer,
                             std::string_view reason) {
  const auto is = [result](RawResult code) { return result == result_number(code); };
  std::string text(kPrefixoMsg);
  if (is(R::bad_arguments)) return text + "Invalid parameters passed to function";
  if (is(R::no_printer)) return text + "WinAPI OpenPrinter() call failed";
  if (is(R::no_job)) return text + "WinAPI StartDocPrinter() call failed";
  if (is(R::no_document)) return text + "WinAPI StartPagePrinter() call failed";
  if (is(R::no_memory)) return text + "WinAPI malloc() of memory failed";
  if (is(R::no_file)) return text + "File " + std::string(cfile) + " not found";
  if (is(R::write_failed)) return text + "WinAPI WritePrinter() call failed";
  if (is(R::no_answer))
    return text + std::string(kServidorSemResposta) + "; o trabalho para a impressora " +
           std::string(printer) + " foi cancelado.";
  if (is(R::cancelled))
    return text + "O trabalho para a impressora " + std::string(printer) +
           " foi cancelado no servidor de impressão.";
  if (is(R::refused))
    return text + "A impressora " + std::string(printer) + " recusou o trabalho: " + std::string(reason);
  return text + std::string(cfile) + " Impressão OK!!!";
}

std::string dos_printer(const JobState& s) {
  if (s.IMP.open) return s.IMP.current_printer();
  return std::string(trim(s.job_printer));
}

std::optional<DosData> dos_printer_data(std::string_view text) {
  const std::string tail = upper_tail(text);
  const std::size_t at = tail.rfind(kMarcaPadraoDos);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t size = kMarcaPadraoDos.size();
  if (iequal(left(text, size), kMarcaPadraoDos)) return DosData{text.substr(size), {}};
  const std::size_t marker = text.size() - tail.size() + at;
  return DosData{text.substr(0, marker), text.substr(marker + size)};
}

bool IMPRESSAO_PADRAO_DOS_PRINTFILE(JobServices& job, std::string_view text, const DosRefusal& refused) {
  const std::optional<DosData> data = dos_printer_data(text);
  if (!data) return false;
  JobState& s = job.state;
  s.CPRINTER = dos_printer(s);
  s.CFILE = *data;
  s.NRESULT = -1;
  s.CMSG = std::string(kPrefixoMsg);

  // Checked before anything is written, so no temporary file is left.
  if (s.CPRINTER.empty()) {
    s.CFILE = {};
    job.messages.G_ERRO(Value(std::string(kSemImpressora)));
    return true;
  }
  // The outcome texts show the data shortened: it may be large.
  if (const std::optional<RawSendResult> sent = send_through_temp_file(job)) {
    s.NRESULT = result_number(sent->code);
    s.CMSG = dos_outcome_text(s.NRESULT, short_form(s.CFILE), s.CPRINTER, sent->reason);
  }
  s.CFILE = {};
  if (s.NRESULT == result_number(R::refused) && refused && refused(*data)) return true;
  if (s.NRESULT != result_number(R::sent)) job.messages.G_ERRO(Value(s.CMSG));
  return true;
}

}  // namespace tarvo
