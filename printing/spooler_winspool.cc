#include <windows.h>
#include <winspool.h>

#include <chrono>
#include <thread>
#include <vector>

#include "printing/printer_handle_win32.h"
#include "printing/printer_service.h"
#include "printing/raw_file.h"
#include "runtime/text.h"
#include "runtime/wide_text.h"

namespace tarvo {
namespace {

using R = RawResult;

// Raw data reaches the spooler in pieces of this size.
constexpr std::size_t kChunk = 32 * 1024;
// How long a sent raw job is followed for a refusal, and how often it is
// looked at meanwhile.
constexpr std::chrono::milliseconds kFollowWindow{3000};
constexpr std::chrono::milliseconds kFollowStep{25};
// The longest name the profile's default printer entry may give.
constexpr DWORD kProfileNameLimit = 255;

// The spooler's own buffers: asked for their size first, then filled. The
// size may grow between the two calls when printers come and go.
template <class Fill>
std::vector<BYTE> spooler_buffer(Fill fill) {
  DWORD needed = 0;
  std::vector<BYTE> buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (fill(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
      return buffer;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) break;
    buffer.assign(needed, 0);
  }
  return {};
}

// A raw job, from its document's start to its end. One that goes before it
// was finished is aborted: nothing of it prints.
class RawJob {
 public:
  RawJob(PrinterHandle& printer, const std::wstring& title) : printer_(printer) {
    DOC_INFO_1W doc{};
    doc.pDocName = const_cast<LPWSTR>(title.c_str());
    doc.pDatatype = const_cast<LPWSTR>(L"RAW");
    id_ = StartDocPrinterW(printer_.get(), 1, reinterpret_cast<LPBYTE>(&doc));
  }
  ~RawJob() {
    if (id_ != 0 && !finished_ && !AbortPrinter(printer_.get())) EndDocPrinter(printer_.get());
  }
  RawJob(const RawJob&) = delete;
  RawJob& operator=(const RawJob&) = delete;

  bool started() const { return id_ != 0; }
  bool start_page() { return StartPagePrinter(printer_.get()) != 0; }

  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
      DWORD written = 0;
      if (!WritePrinter(printer_.get(), const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                        &written) ||
          written == 0)
        return false;
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool finish() {
    const bool page_ended = EndPagePrinter(printer_.get()) != 0;
    if (!page_ended) return false;
    finished_ = EndDocPrinter(printer_.get()) != 0;
    return finished_;
  }

  // Follows the finished job until it printed, left the queue or the time
  // is up: a driver that cannot print it, or someone who deletes it, is
  // told apart from a job sent.
  RawSendResult follow() {
    const auto until = std::chrono::steady_clock::now() + kFollowWindow;
    while (std::chrono::steady_clock::now() < until) {
      const std::vector<BYTE> buffer = spooler_buffer([&](BYTE* data, DWORD size, DWORD* needed) {
        return GetJobW(printer_.get(), id_, 1, data, size, needed);
      });
      if (buffer.empty()) return {};  // gone from the queue
      const auto& job = *reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
      if (job.Status & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE)) return {};
      if (job.Status & JOB_STATUS_BLOCKED_DEVQ) return {R::refused, refusal_reason(job)};
      if (job.Status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) return {R::cancelled, {}};
      std::this_thread::sleep_for(kFollowStep);
    }
    return {};
  }

 private:
  static std::string refusal_reason(const JOB_INFO_1W& job) {
    if (job.pStatus != nullptr && *job.pStatus != L'\0') return utf8_from_wide(job.pStatus);
    return "o driver da impressora não pode imprimir este trabalho";
  }

  PrinterHandle& printer_;
  DWORD id_ = 0;
  bool finished_ = false;
};

RawSendResult stream(RawSource& source, RawJob& job) {
  const RawCopy copied = copy_raw_data(source, kChunk, [&](std::string_view piece) { return job.write(piece); });
  if (copied == RawCopy::read_failed) return {R::no_file, {}};
  if (copied == RawCopy::write_failed || !job.finish()) return {R::write_failed, {}};
  return job.follow();
}

// The job is created and its page started before the source is opened, as
// the spooler routine always did: a source that cannot be opened leaves a
// job, which is aborted.
RawSendResult send(std::string_view printer_name, std::string_view title, const OpenRawSource& open_source) {
  PrinterHandle printer(wide_from_utf8(printer_name));
  if (!printer) return {R::no_printer, {}};
  RawJob job(printer, wide_from_utf8(title));
  if (!job.started()) return {R::no_job, {}};
  if (!job.start_page()) return {R::no_document, {}};
  RawSource* source = open_source();
  if (source == nullptr) return {R::no_file, {}};
  return stream(*source, job);
}

class WinspoolSpooler final : public PrinterService {
 public:
  // Local printers and connections, as level 4 lists them: the name alone.
  std::vector<std::string> GETPRINTERS() override {
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD count = 0;
    const std::vector<BYTE> buffer = spooler_buffer([&](BYTE* data, DWORD size, DWORD* needed) {
      return EnumPrintersW(kFlags, nullptr, 4, data, size, needed, &count);
    });
    std::vector<std::string> names;
    if (buffer.empty()) return names;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.emplace_back(trim(utf8_from_wide(printers[i].pPrinterName)));
    return names;
  }

  // The user's default printer; else the profile's "device" entry of the
  // "windows" section ("name,driver,port"), up to its first comma.
  std::string GETDEFAULTPRINTER() override {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size > 0) {
      std::wstring name(size, L'\0');
      if (GetDefaultPrinterW(name.data(), &size)) {
        name.resize(wcsnlen(name.c_str(), name.size()));
        if (!name.empty()) return std::string(trim(utf8_from_wide(name)));
      }
    }
    std::wstring entry(kProfileNameLimit + 1, L'\0');
    const DWORD length = GetProfileStringW(L"windows", L"device", L"", entry.data(), kProfileNameLimit + 1);
    if (length == 0 || length >= kProfileNameLimit) return "";
    entry.resize(length);
    return std::string(trim(utf8_from_wide(entry.substr(0, entry.find(L',')))));
  }

  int PRINTFILERAW(const Value& printer, const Value& file, const Value& title) override {
    return print_file_raw(printer, file, title, send);
  }

  RawSendResult send_raw(std::string_view printer, RawSource& source, std::string_view title) override {
    return send(printer, title, [&] { return &source; });
  }
};

}  // namespace

std::unique_ptr<PrinterService> make_system_printer_service() {
  return std::make_unique<WinspoolSpooler>();
}

}  // namespace tarvo
