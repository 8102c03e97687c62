#pragma once

#include <chrono>

#include "printing/printer_service.h"

namespace tarvo {

// The printer list, the default printer and raw jobs on CUPS, resolved the
// way CUPS clients resolve them for this user (CUPS_SERVER, LPDEST,
// PRINTER, lpoptions, the server's default).
class CupsSpooler final : public PrinterService {
 public:
  // Raw data travels through one buffer of this size. Every write to the
  // server costs a few small packets and wake-ups of its own, so the pieces
  // are larger than the 32 KB a printer needs: large files go as fast as
  // with the system's own tools.
  static constexpr std::size_t kChunk = 256 * 1024;
  // How long a sent raw job is followed for a refusal by the printer.
  static constexpr std::chrono::milliseconds kFollowWindow{3000};

  std::vector<std::string> GETPRINTERS() override;
  std::string GETDEFAULTPRINTER() override;
  int PRINTFILERAW(const Value& printer, const Value& file, const Value& title = {}) override;
  RawSendResult send_raw(std::string_view printer, RawSource& source, std::string_view title) override;
  bool spooler_silent() const override { return silent_; }

 private:
  // Once the server has let one exchange time out, the run does not wait on
  // it again for the list or the default.
  bool silent_ = false;
};

}  // namespace tarvo
