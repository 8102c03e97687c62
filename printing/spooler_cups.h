#pragma once

#include "printing/printer_service.h"

namespace tarvo {

// The printer list, the default printer and raw jobs on CUPS, resolved the
// way CUPS clients resolve them for this user (CUPS_SERVER, LPDEST,
// PRINTER, lpoptions, the server's default).
class CupsSpooler final : public PrinterService {
 public:
  // Raw files travel through one buffer of this size.
  static constexpr std::size_t kChunk = 32768;

  std::vector<std::string> GETPRINTERS() override;
  std::string GETDEFAULTPRINTER() override;
  int PRINTFILERAW(const Value& printer, const Value& file, const Value& title = {}) override;
};

}  // namespace tarvo
