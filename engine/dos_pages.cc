#include "engine/dos_pages.h"

#include <string>

#include "engine/dos_printing.h"
#include "engine/driver.h"
#include "printing/win32prn.h"

namespace tarvo {
namespace {

// Ends the page object's document (an empty one is discarded) and releases
// the object.
void release(JobState& s) {
  s.OPRINTER->EndDoc();
  s.OPRINTER->Destroy();
  s.OPRINTER.reset();
}

}  // namespace

bool print_dos_as_pages(JobServices& job, std::string_view printer, std::string_view data,
                        const EscpOptions& options) {
  JobState& s = job.state;
  if (CRIA_NOVA_PAGINA_IMP_WIN(job, printer)) return false;
  WIN32PRN& page = *s.OPRINTER;
  if (!page.StartDoc(std::string(kTituloDos))) {
    job.messages.G_ERRO(Value("A impressora " + page.PrinterName + " não aceitou o documento."));
    release(s);
    return false;
  }
  render_escp(data, page, options);
  const bool drawn = page.HavePrinted;
  release(s);
  if (!drawn) job.messages.G_ERRO(Value(std::string("O arquivo no padrão DOS não tem nada para imprimir.")));
  return drawn;
}

}  // namespace tarvo
