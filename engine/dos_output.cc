#include "engine/dos_output.h"

#include "engine/dos_pages.h"
#include "engine/dos_printing.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

bool print_as_pages(JobServices& job, const DosData& data) {
  const std::string printer = dos_printer(job.state);
  if (printer.empty()) {
    job.messages.G_ERRO(Value(std::string(kSemImpressora)));
    return true;
  }
  print_dos_as_pages(job, printer, data);
  return true;
}

std::string unknown_setting_text(std::string_view setting) {
  std::string shown(setting);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return "TARVOUSB_DOS=\"" + shown +
         "\" não é um valor conhecido (use paginas ou bruto): o arquivo no padrão DOS vai à impressora "
         "sem alteração.";
}

}  // namespace

DosOutput dos_output(std::string_view setting) {
  std::string word = lower(trim(setting));
  for (const std::string_view accented : {"\xC3\xA1", "\xC3\x81"})  // á and Á in UTF-8
    if (const std::size_t at = word.find(accented); at != std::string::npos) word.replace(at, accented.size(), "a");
  if (word.empty() || word == "bruto") return DosOutput::raw;
  if (word == "paginas") return DosOutput::pages;
  return DosOutput::unknown;
}

std::string dos_refused_question(std::string_view printer) {
  // The question box adds its own question mark.
  return "A impressora " + std::string(printer) + " não aceita o arquivo no padrão DOS. Imprimir como páginas";
}

bool print_dos_file(JobServices& job, std::string_view text) {
  const std::optional<DosData> data = dos_printer_data(text);
  if (!data) return false;
  const DosOutput output = dos_output(job.state.dos_output);
  if (output == DosOutput::pages) return print_as_pages(job, *data);
  if (output == DosOutput::unknown) job.messages.alert(unknown_setting_text(job.state.dos_output));
  return IMPRESSAO_PADRAO_DOS_PRINTFILE(job, text, [&job](const DosData& refused) {
    const std::string printer = job.state.CPRINTER;
    if (!job.messages.G_CONF(dos_refused_question(printer), "S")) return false;
    print_dos_as_pages(job, printer, refused);
    return true;
  });
}

}  // namespace tarvo
