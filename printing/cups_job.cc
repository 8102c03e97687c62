#include "printing/cups_job.h"

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

void CupsJob::cancel() {
  if (finished_) return;
  if (failure_ == Failure::none) failure_ = Failure::cancelled;
  if (id_ == 0) return;
  // A document left half sent keeps the connection inside its request:
  // drop it, then cancel over a fresh one.
  conn_->http.reset();
  if (Http http = connect_server()) cupsCancelJob2(http.get(), queue_.c_str(), id_, 0);
  sending_ = false;
  id_ = 0;
}

}  // namespace tarvo::cups
