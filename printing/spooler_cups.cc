#include "printing/spooler_cups.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "printing/cups_connection.h"
#include "printing/cups_job.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

namespace R = raw_result;

constexpr char kEndOfFile = 0x1A;

class InputFile final : public RawSource {
 public:
  explicit InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) close();
  }
  ~InputFile() override { close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  std::optional<std::size_t> read(std::span<char> buffer) override {
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

RawSendResult job_failure(const cups::CupsJob& job) {
  using F = cups::CupsJob::Failure;
  if (job.no_answer()) return {R::kNoAnswer, {}};
  switch (job.failure()) {
    case F::none: return {R::kSent, {}};
    case F::destination: return {R::kNoPrinter, job.error()};
    case F::create: return {R::kNoJob, job.error()};
    case F::start: return {R::kNoDocument, job.error()};
    case F::write:
    case F::cancelled: return {R::kWriteFailed, job.error()};
  }
  return {R::kWriteFailed, job.error()};
}

// Streams the source into the job. Files written by the memo routines end
// in one 0x1A, which is not printer data: the last byte read is held back
// at the front of the buffer until the next read shows it was not the
// source's last, so only the final 0x1A is dropped.
RawSendResult stream(RawSource& source, cups::CupsJob& job) {
  std::vector<char> buffer(CupsSpooler::kChunk);
  std::size_t held = 0;  // 1 when buffer[0] holds the last byte read
  for (;;) {
    const std::optional<std::size_t> got = source.read(std::span(buffer).subspan(held));
    if (!got) return {R::kNoFile, {}};
    if (*got == 0) break;
    const std::size_t filled = held + *got;
    if (!job.write(std::string_view(buffer.data(), filled - 1))) return job_failure(job);
    buffer[0] = buffer[filled - 1];
    held = 1;
  }
  if (held == 1 && buffer[0] != kEndOfFile && !job.write(std::string_view(buffer.data(), 1)))
    return job_failure(job);
  if (!job.finish()) return job_failure(job);
  using End = cups::CupsJob::Fate::End;
  const cups::CupsJob::Fate fate = job.follow(CupsSpooler::kFollowWindow);
  if (fate.end == End::refused) return {R::kRefused, fate.reason};
  if (fate.end == End::cancelled) return {R::kCancelled, {}};
  return {};
}

// The job is created and its document started before the source is opened,
// as the spooler's own routine does: a source that cannot be opened leaves
// a job that is cancelled.
template <class OpenSource>
RawSendResult send(std::string_view printer, std::string_view title, OpenSource open_source) {
  cups::CupsJob job(printer, title);
  if (!job.ok()) return job_failure(job);
  if (!job.start_document(cups::kRawFormat)) return {R::kNoDocument, job.error()};
  RawSource* source = open_source();
  if (source == nullptr) return {R::kNoFile, {}};  // the job cancels itself
  return stream(*source, job);                    // likewise when it failed
}

}  // namespace

std::vector<std::string> CupsSpooler::GETPRINTERS() {
  std::vector<std::string> names;
  if (silent_) return names;
  cups::Http http = cups::connect_server();
  silent_ = http.no_answer();
  if (!http) return names;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(http.get(), &dests);
  for (int i = 0; i < count; ++i) names.emplace_back(trim(cups::dest_name(dests[i])));
  cupsFreeDests(count, dests);
  silent_ = http.no_answer();
  return names;
}

// libcups resolves the default from LPDEST, PRINTER, the lpoptions files and
// the server's default, but gives no destination at all when that default
// names a queue the server does not have. The name is kept then, so that
// startup tells the user that printer is not installed rather than
// printing elsewhere.
std::string CupsSpooler::GETDEFAULTPRINTER() {
  if (!silent_) {
    cups::Http http = cups::connect_server();
    silent_ = http.no_answer();
    if (http) {
      if (cups::Dest dest{cupsGetNamedDest(http.get(), nullptr, nullptr)})
        return std::string(trim(cups::dest_name(*dest)));
      silent_ = http.no_answer();
    }
  }
  return cups::configured_default_name();
}

int CupsSpooler::PRINTFILERAW(const Value& printer, const Value& file, const Value& title) {
  if (!printer.is_text() || !file.is_text()) return R::kBadArguments;
  const std::string& path = file.text();
  std::optional<InputFile> in;
  return send(printer.text(), title.is_text() ? title.text() : path, [&]() -> RawSource* {
           in.emplace(path);
           return in->is_open() ? &*in : nullptr;
         }).code;
}

RawSendResult CupsSpooler::send_raw(std::string_view printer, RawSource& source, std::string_view title) {
  return send(printer, title, [&] { return &source; });
}

std::unique_ptr<PrinterService> make_system_printer_service() {
  return std::make_unique<CupsSpooler>();
}

}  // namespace tarvo
