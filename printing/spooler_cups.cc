#include "printing/spooler_cups.h"

#include "printing/cups_connection.h"
#include "printing/cups_job.h"
#include "printing/raw_file.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

using R = RawResult;

RawSendResult job_failure(const cups::CupsJob& job) {
  using F = cups::CupsJob::Failure;
  if (job.no_answer()) return {R::no_answer, {}};
  switch (job.failure()) {
    case F::none: return {R::sent, {}};
    case F::destination: return {R::no_printer, job.error()};
    case F::create: return {R::no_job, job.error()};
    case F::start: return {R::no_document, job.error()};
    case F::write:
    case F::cancelled: return {R::write_failed, job.error()};
  }
  return {R::write_failed, job.error()};
}

RawSendResult stream(RawSource& source, cups::CupsJob& job) {
  const RawCopy copied = copy_raw_data(source, CupsSpooler::kChunk,
                                       [&](std::string_view piece) { return job.write(piece); });
  if (copied == RawCopy::read_failed) return {R::no_file, {}};
  if (copied == RawCopy::write_failed || !job.finish()) return job_failure(job);
  using End = cups::CupsJob::Fate::End;
  const cups::CupsJob::Fate fate = job.follow(CupsSpooler::kFollowWindow);
  if (fate.end == End::refused) return {R::refused, fate.reason};
  if (fate.end == End::cancelled) return {R::cancelled, {}};
  return {};
}

// The job is created and its document started before the source is opened,
// as the spooler's own routine does: a source that cannot be opened leaves
// a job that is cancelled.
RawSendResult send(std::string_view printer, std::string_view title, const OpenRawSource& open_source) {
  cups::CupsJob job(printer, title);
  if (!job.ok()) return job_failure(job);
  if (!job.start_document(cups::kRawFormat)) return {R::no_document, job.error()};
  RawSource* source = open_source();
  if (source == nullptr) return {R::no_file, {}};  // the job cancels itself
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
  return print_file_raw(printer, file, title, send);
}

RawSendResult CupsSpooler::send_raw(std::string_view printer, RawSource& source, std::string_view title) {
  return send(printer, title, [&] { return &source; });
}

std::unique_ptr<PrinterService> make_system_printer_service() {
  return std::make_unique<CupsSpooler>();
}

}  // namespace tarvo
