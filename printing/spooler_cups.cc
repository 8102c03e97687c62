#include "printing/spooler_cups.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>
#include <span>

#include "printing/cups_connection.h"
#include "printing/cups_job.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr char kEndOfFile = 0x1A;

// Result codes of PRINTFILERAW.
constexpr int kSent = 1;
constexpr int kBadArguments = -1;
constexpr int kNoPrinter = -2;
constexpr int kNoJob = -3;
constexpr int kNoDocument = -4;
constexpr int kNoFile = -6;
constexpr int kWriteFailed = -7;

class InputFile {
 public:
  explicit InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) close();
  }
  ~InputFile() { close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  // Bytes read into `buffer`; 0 at the end of the file; nullopt when the
  // read failed.
  std::optional<std::size_t> read(std::span<char> buffer) {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) return std::nullopt;
    }
  }

 private:
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

int failure_code(cups::CupsJob::Failure failure) {
  using F = cups::CupsJob::Failure;
  switch (failure) {
    case F::none: return kSent;
    case F::destination: return kNoPrinter;
    case F::create: return kNoJob;
    case F::start: return kNoDocument;
    case F::write:
    case F::cancelled: return kWriteFailed;
  }
  return kWriteFailed;
}

// Streams the file into the job. Files written by the memo routines end in
// one 0x1A, which is not printer data: the last byte read is held back at
// the front of the buffer until the next read shows it was not the file's
// last, so only the file's own final 0x1A is dropped.
int stream_file(InputFile& in, cups::CupsJob& job) {
  std::array<char, CupsSpooler::kChunk> buffer;
  std::size_t held = 0;  // 1 when buffer[0] holds the last byte read
  for (;;) {
    const std::optional<std::size_t> got = in.read(std::span(buffer).subspan(held));
    if (!got) return kNoFile;
    if (*got == 0) break;
    const std::size_t filled = held + *got;
    if (!job.write(std::string_view(buffer.data(), filled - 1))) return failure_code(job.failure());
    buffer[0] = buffer[filled - 1];
    held = 1;
  }
  if (held == 1 && buffer[0] != kEndOfFile && !job.write(std::string_view(buffer.data(), 1)))
    return failure_code(job.failure());
  if (!job.finish()) return failure_code(job.failure());
  return kSent;
}

}  // namespace

std::vector<std::string> CupsSpooler::GETPRINTERS() {
  std::vector<std::string> names;
  cups::Http http = cups::connect_server();
  if (!http) return names;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(http.get(), &dests);
  for (int i = 0; i < count; ++i) names.emplace_back(trim(cups::dest_name(dests[i])));
  cupsFreeDests(count, dests);
  return names;
}

// libcups resolves the default from LPDEST, PRINTER, the lpoptions files and
// the server's default, but gives no destination at all when that default
// names a queue the server does not have. The name is kept then, so that
// startup tells the user that printer is not installed rather than
// printing elsewhere.
std::string CupsSpooler::GETDEFAULTPRINTER() {
  cups::Http http = cups::connect_server();
  if (http) {
    if (cups::Dest dest{cupsGetNamedDest(http.get(), nullptr, nullptr)})
      return std::string(trim(cups::dest_name(*dest)));
  }
  return cups::configured_default_name();
}

int CupsSpooler::PRINTFILERAW(const Value& printer, const Value& file, const Value& title) {
  if (!printer.is_text() || !file.is_text()) return kBadArguments;
  const std::string& path = file.text();
  cups::CupsJob job(printer.text(), title.is_text() ? title.text() : path);
  if (!job.ok()) return failure_code(job.failure());
  if (!job.start_document(cups::kRawFormat)) return kNoDocument;

  InputFile in(path);
  if (!in.is_open()) {
    job.cancel();
    return kNoFile;
  }
  const int result = stream_file(in, job);
  if (result != kSent) job.cancel();
  return result;
}

std::unique_ptr<PrinterService> make_system_printer_service() {
  return std::make_unique<CupsSpooler>();
}

}  // namespace tarvo
