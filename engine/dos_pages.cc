#include "engine/dos_pages.h"

#include <string>

#include "engine/dos_printing.h"
#include "engine/driver.h"
#include "printing/win32prn.h"

namespace tarvo {

bool print_dos_as_pages(JobServices& job, std::string_view printer, const DosData& data,
                        const EscpOptions& options) {
  JobState& s = job.state;
  if (CRIA_NOVA_PAGINA_IMP_WIN(job, printer)) return false;
  WIN32PRN& page = *s.OPRINTER;
  bool drawn = false;
  bool printed = page.StartDoc(std::string(kTituloDos));
  if (printed) {
    render_escp(data.before, data.after, page, options);
    drawn = page.HavePrinted;
    printed = page.EndDoc();  // an empty document is discarded
  }
  // The failure is the device's to tell, while the object still holds it.
  if (!printed) report_document_failure(job);
  page.Destroy();
  s.OPRINTER.reset();
  if (printed && !drawn) job.messages.G_ERRO(Value(std::string("O arquivo no padrão DOS não tem nada para imprimir.")));
  return printed && drawn;
}

}  // namespace tarvo
