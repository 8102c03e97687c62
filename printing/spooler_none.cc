#include "printing/printer_service.h"

namespace tarvo {
namespace {

// A spooler with no printers: every raw job fails as an unknown printer.
class NoPrinters final : public PrinterService {
 public:
  std::vector<std::string> GETPRINTERS() override { return {}; }
  std::string GETDEFAULTPRINTER() override { return {}; }
  int PRINTFILERAW(const Value& printer, const Value& file, const Value&) override {
    if (!printer.is_text() || !file.is_text()) return -1;
    return -2;
  }
};

}  // namespace

std::unique_ptr<PrinterService> make_system_printer_service() {
  return std::make_unique<NoPrinters>();
}

}  // namespace tarvo
