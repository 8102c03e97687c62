#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cups {

inline constexpr std::string_view kRawFormat = "application/vnd.cups-raw";
inline constexpr std::string_view kPdfFormat = "application/pdf";

struct JobOption {
  std::string name;
  std::string value;
};

// One job on a CUPS destination holding one document. Construction connects
// to the server, looks the destination up and creates the job; then
// start_document, write (any number of chunks) and finish. A job that was
// not finished is cancelled when the object goes, so an aborted document
// leaves nothing in the queue.
//
// The server takes no document without data, so the document is opened on
// the server with the first chunk written; a job finished with no data at
// all is closed empty (the server then discards it). A refusal of the
// document therefore shows as Failure::start from the first write.
//
// Every exchange gives up when the server stays silent for
// exchange_timeout() (cups_connection.h); no_answer() then tells the step's
// failure apart from a refusal, and the job is cancelled like any other
// unfinished one.
class CupsJob {
 public:
  // The step that failed; the first failure sticks and later calls do
  // nothing.
  enum class Failure {
    none,
    destination,  // the server cannot be reached or does not know the destination
    create,       // the server refused to create the job
    start,        // the document could not be started
    write,        // a write, or the end of the document, failed
    cancelled,    // cancel() was called; the job takes nothing more
  };

  CupsJob(std::string_view destination, std::string_view title,
          const std::vector<JobOption>& options = {});
  ~CupsJob();
  CupsJob(const CupsJob&) = delete;
  CupsJob& operator=(const CupsJob&) = delete;

  bool start_document(std::string_view format, std::string_view document_name = {});
  bool write(std::string_view data);
  bool finish();
  // Cancels the job now (when it was created and not finished); later
  // calls fail.
  void cancel();

  // What became of a finished job at the printer.
  struct Fate {
    enum class End {
      taken,      // printed, or still pending or printing
      refused,    // the printer or its backend gave up on the document
      cancelled,  // someone cancelled the job at the server
    };
    End end = End::taken;
    std::string reason;  // the printer's words for a refusal, when it gave any
  };
  // Follows a finished job on the server for up to `window`. A job that
  // ends aborted, or cancelled or completed with an error of the printer
  // (the server marks a document the printer refused as completed, with the
  // printer's message), was refused; one cancelled without a word of the
  // printer was cancelled by someone; one still pending or printing by
  // then, or one the server no longer knows, counts as taken.
  Fate follow(std::chrono::milliseconds window);

  Failure failure() const { return failure_; }
  bool ok() const { return failure_ == Failure::none; }
  // True when the step failed because the server stopped answering.
  bool no_answer() const { return no_answer_; }
  bool finished() const { return finished_; }
  int id() const { return id_; }
  // The server's words for the failure, for diagnostics.
  const std::string& error() const { return error_; }

 private:
  struct Connection;
  bool fail(Failure step);
  bool open_document();
  bool close_empty_job();

  std::unique_ptr<Connection> conn_;
  std::string queue_;
  std::string title_;
  int id_ = 0;
  std::string format_;
  std::string document_name_;
  bool started_ = false;   // start_document was called
  bool sending_ = false;   // the document is open on the server
  bool sent_data_ = false;  // the document got at least one byte
  bool finished_ = false;
  Failure failure_ = Failure::none;
  bool no_answer_ = false;
  std::string error_;
};

}  // namespace tarvo::cups
