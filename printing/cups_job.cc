#include "printing/cups_job.h"

#include <algorithm>
#include <thread>

#include "printing/cups_connection.h"

namespace tarvo::cups {

struct CupsJob::Connection {
  Http http;
};

namespace {

// cups_option_t arrays are built and freed by libcups. The job's own
// options come first; the destination's (an instance's saved options among
// them) fill in the rest, as lp does.
class Options {
 public:
  Options(const std::vector<JobOption>& options, const cups_dest_t& dest) {
    for (const JobOption& o : options)
      count_ = cupsAddOption(o.name.c_str(), o.value.c_str(), count_, &list_);
    for (int i = 0; i < dest.num_options; ++i) {
      const cups_option_t& o = dest.options[i];
      if (cupsGetOption(o.name, count_, list_) == nullptr)
        count_ = cupsAddOption(o.name, o.value, count_, &list_);
    }
  }
  ~Options() { cupsFreeOptions(count_, list_); }
  Options(const Options&) = delete;
  Options& operator=(const Options&) = delete;
  int count() const { return count_; }
  cups_option_t* list() const { return list_; }

 private:
  int count_ = 0;
  cups_option_t* list_ = nullptr;
};

// A job's state as the server reports it; `known` is false when the server
// did not say (no answer, or a job it no longer keeps).
struct JobStatus {
  bool known = false;
  ipp_jstate_t state = IPP_JSTATE_PENDING;
  std::string printer_message;  // job-printer-state-message: the printer's last warning or error
};

JobStatus job_status(http_t* http, int id) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d", id);
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  static const char* const kWanted[] = {"job-state", "job-printer-state-message"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kWanted);
  ipp_t* response = cupsDoRequest(http, request, "/");  // frees the request
  JobStatus status;
  if (ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
    status.known = true;
    status.state = static_cast<ipp_jstate_t>(ippGetInteger(state, 0));
    if (ipp_attribute_t* m = ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT))
      if (const char* text = ippGetString(m, 0, nullptr)) status.printer_message = text;
  }
  ippDelete(response);
  return status;
}

// What a cancel or a status question may wait for: a server that stopped
// answering has already had its full time.
constexpr std::chrono::milliseconds kLastWordTimeout{5000};
// How often a followed job is looked at: the program waits this much at
// most beyond the job's end.
constexpr std::chrono::milliseconds kFollowInterval{25};

}  // namespace

CupsJob::CupsJob(std::string_view destination, std::string_view title,
                 const std::vector<JobOption>& options)
    : conn_(std::make_unique<Connection>()), title_(title) {
  conn_->http = connect_server();
  if (!conn_->http) {
    fail(Failure::destination);
    return;
  }
  const Dest dest = find_dest(conn_->http.get(), destination);
  if (!dest) {
    fail(Failure::destination);
    return;
  }
  queue_ = split_dest_name(destination).queue;
  const Options opts(options, *dest);
  id_ = cupsCreateJob(conn_->http.get(), queue_.c_str(), title_.c_str(), opts.count(), opts.list());
  if (id_ <= 0) {
    id_ = 0;
    fail(Failure::create);
  }
}

CupsJob::~CupsJob() { cancel(); }

bool CupsJob::fail(Failure step) {
  if (failure_ == Failure::none) {
    failure_ = step;
    error_ = cupsLastErrorString();
    no_answer_ = conn_->http.no_answer();
  }
  return false;
}

bool CupsJob::start_document(std::string_view format, std::string_view document_name) {
  if (!ok()) return false;
  if (started_) return fail(Failure::start);
  format_ = std::string(format);
  document_name_ = document_name.empty() ? title_ : std::string(document_name);
  started_ = true;
  return true;
}

bool CupsJob::open_document() {
  // A write that stalls waits twice: in the socket's own send timeout, then
  // for room in it. Half the limit each keeps the whole within it.
  conn_->http.set_timeout(exchange_timeout() / 2);
  if (cupsStartDocument(conn_->http.get(), queue_.c_str(), id_, document_name_.c_str(),
                        format_.c_str(), 1) != HTTP_STATUS_CONTINUE)
    return fail(Failure::start);
  sending_ = true;
  return true;
}

bool CupsJob::write(std::string_view data) {
  if (!ok()) return false;
  if (!started_ || finished_) return fail(Failure::write);
  if (data.empty()) return true;
  if (!sending_ && !open_document()) return false;
  if (cupsWriteRequestData(conn_->http.get(), data.data(), data.size()) != HTTP_STATUS_CONTINUE)
    return fail(Failure::write);
  sent_data_ = true;
  return true;
}

bool CupsJob::close_empty_job() {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                   "/printers/%s", queue_.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_CLOSE_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id_);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippDelete(cupsDoRequest(conn_->http.get(), request, "/jobs/"));  // frees the request
  return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

bool CupsJob::finish() {
  if (!ok()) return false;
  if (!started_ || finished_) return fail(Failure::write);
  const bool done = sending_ ? cupsFinishDocument(conn_->http.get(), queue_.c_str()) <=
                                   IPP_STATUS_OK_CONFLICTING
                             : close_empty_job();
  if (!done) return fail(Failure::write);
  finished_ = true;
  return true;
}

CupsJob::Fate CupsJob::follow(std::chrono::milliseconds window) {
  if (!finished_ || !sent_data_ || !conn_->http) return {};
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + window;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) return {};
    conn_->http.set_timeout(std::min({exchange_timeout(), kLastWordTimeout, left}));
    const JobStatus status = job_status(conn_->http.get(), id_);
    if (!status.known) return {};
    using End = Fate::End;
    const std::string& said = status.printer_message;
    switch (status.state) {
      case IPP_JSTATE_CANCELED:
        return said.empty() ? Fate{End::cancelled, {}} : Fate{End::refused, said};
      case IPP_JSTATE_ABORTED:
        return {End::refused, said.empty() ? "o trabalho foi interrompido" : said};
      case IPP_JSTATE_COMPLETED:
        return said.empty() ? Fate{} : Fate{End::refused, said};
      default:
        std::this_thread::sleep_for(std::min(left, kFollowInterval));
    }
  }
}

void CupsJob::cancel() {
  if (finished_) return;
  if (failure_ == Failure::none) failure_ = Failure::cancelled;
  if (id_ == 0) return;
  // A document left half sent keeps the connection inside its request:
  // drop it, then cancel over a fresh one, with no first request: a server
  // that stopped answering is given a few more seconds, no more.
  conn_->http.reset();
  if (Http http = Http::open(std::min(exchange_timeout(), kLastWordTimeout)))
    cupsCancelJob2(http.get(), queue_.c_str(), id_, 0);
  sending_ = false;
  id_ = 0;
}

}  // namespace tarvo::cups
