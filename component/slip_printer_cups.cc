#include "component/component_error.h"
#include "component/conta_corrente.h"
#include "component/slip_page.h"
#include "printing/cups_job.h"
#include "printing/printer_service.h"
#include "runtime/text.h"

namespace tarvo::component {

void print_on_default_printer(const std::vector<Slip>& slips, const AccountData& account) {
  const std::string label = account_label(account);
  const std::string printer = make_system_printer_service()->GETDEFAULTPRINTER();
  if (printer.empty()) fail(label, "IMPRIMEBOLETOSSEMPREVIEW", "não há impressora padrão");
  const std::string pdf = slips_pdf(slips, account, today());
  const std::string title = "Boleto " + cp1252_to_utf8(trim(slips.front().document.document_number));
  // The bars' widths are what the bank's readers measure: the page goes out
  // at its own size, never fitted to the sheet.
  const std::vector<cups::JobOption> options = {{"media", "iso_a4_210x297mm"}, {"print-scaling", "none"}};
  cups::CupsJob job(printer, title, options);
  if (!job.ok() || !job.start_document(cups::kPdfFormat, title) || !job.write(pdf) || !job.finish())
    fail(label, "IMPRIMEBOLETOSSEMPREVIEW",
         "a impressora " + printer + " não aceitou o boleto" + (job.error().empty() ? "" : ": " + job.error()));
}

}  // namespace tarvo::component
