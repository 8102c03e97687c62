#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/value.h"

namespace tarvo {

// The printer list, the default printer and raw jobs: what the program needs
// of the system's print spooler. Each backend implements it in a file of its
// own (spooler_<backend>.cc).
class PrinterService {
 public:
  virtual ~PrinterService() = default;

  // Names of every printer the user can print to, in the spooler's order,
  // trimmed. Empty when there are none or the spooler cannot be reached.
  virtual std::vector<std::string> GETPRINTERS() = 0;

  // The default printer's name, "" when there is none.
  virtual std::string GETDEFAULTPRINTER() = 0;

  // Sends a file to a printer unchanged as a raw job. The title defaults to
  // the file name. Result codes: 1 sent; -1 printer or file name missing or
  // not a text; -2 printer unknown or spooler unreachable; -3 job not
  // created; -4 document not started; -6 file not opened; -7 a write to the
  // spooler failed (the job is cancelled).
  virtual int PRINTFILERAW(const Value& printer, const Value& file, const Value& title = {}) = 0;
};

// The platform's spooler.
std::unique_ptr<PrinterService> make_system_printer_service();

}  // namespace tarvo
