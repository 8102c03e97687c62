#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/value.h"

namespace tarvo {

// Result codes of a raw send, as the spooler routine returns them.
enum class RawResult : int {
  sent = 1,
  bad_arguments = -1,  // printer or file name missing or not a text
  no_printer = -2,     // printer unknown or spooler unreachable
  no_job = -3,         // the job was not created
  no_document = -4,    // the document was not started
  no_memory = -5,      // never returned; callers still have a text for it
  no_file = -6,        // the file was not opened or could not be read
  write_failed = -7,   // a write to the spooler failed
  no_answer = -8,      // the print server stopped answering
  // The spooler took the whole job, then the printer refused it. Unlike the
  // other failures the data did reach the spooler, so a caller may offer it
  // again in a form the printer takes.
  refused = -9,
  cancelled = -10,     // someone cancelled the job at the spooler
};

// The whole number that stands for a result code.
constexpr int result_number(RawResult result) { return static_cast<int>(result); }

// Bytes for a raw job, read one piece after another.
class RawSource {
 public:
  virtual ~RawSource() = default;
  // Bytes read into `buffer`; 0 at the end; nullopt when the read failed.
  virtual std::optional<std::size_t> read(std::span<char> buffer) = 0;
};

struct RawSendResult {
  RawResult code = RawResult::sent;
  std::string reason;  // the spooler's or the printer's words for a failure, when they gave any (UTF-8)
};

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

  // Sends a file to a printer unchanged as a raw job, the file's own final
  // end-of-file byte (0x1A) left out. The title defaults to the file name.
  // The result is the number of a RawResult. A job that failed is
  // cancelled; one counts as sent once the printer has had a few seconds to
  // refuse it and has not.
  virtual int PRINTFILERAW(const Value& printer, const Value& file, const Value& title = {}) = 0;

  // The same send from an open source, so that what is sent is what the
  // caller holds, whatever happens to any file name meanwhile.
  virtual RawSendResult send_raw(std::string_view printer, RawSource& source, std::string_view title) = 0;

  // True when the spooler took the connection but never answered: the
  // printer list and default are then empty for that reason, not for want
  // of printers.
  virtual bool spooler_silent() const { return false; }
};

// The platform's spooler.
std::unique_ptr<PrinterService> make_system_printer_service();

}  // namespace tarvo
