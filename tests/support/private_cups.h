#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvo::test {

// One job as the capture backend of the private CUPS server wrote it.
struct CapturedJob {
  std::filesystem::path data;  // <id>.pdf or <id>.prn
  std::string title;
  std::string options;
  std::string bytes() const;
  bool is_pdf() const { return data.extension() == ".pdf"; }
};

// The private CUPS server of the test run (scripts/private-cups). Under
// CTest the "cups" fixture starts it and TARVO_TEST_CUPS_DIR names its
// folder; a test program run by hand starts one of its own and stops it at
// exit. Constructing it points CUPS_SERVER of this process at the server.
class PrivateCups {
 public:
  static PrivateCups& instance();

  const std::filesystem::path& dir() const { return dir_; }
  std::string socket() const { return (dir_ / "cups.sock").string(); }
  // "CUPS_SERVER=..." for a child process's environment.
  std::string env() const { return "CUPS_SERVER=" + socket(); }

  // Adds (or re-creates) a capture queue; its captures go to capture_dir(name),
  // emptied first. Queue names should be unique to the test.
  void add_queue(const std::string& name);
  void remove_queue(const std::string& name);
  // Adds a queue on a driverless IPP printer of its own, which takes PDF and
  // PWG raster only and refuses anything else once the job reaches it.
  void add_driverless_queue(const std::string& name);
  // Cancels the job the driverless printer of queue `name` is busy with: one
  // whose document it refused stays until the printer's wait for a document
  // times out, and nothing else prints meanwhile.
  void unstick_driverless(const std::string& name);
  // The documents the driverless printer of queue `name` printed, oldest
  // first, once the queue is idle; waits up to `timeout` for `count`.
  std::vector<std::filesystem::path> wait_for_driverless_documents(
      const std::string& name, std::size_t count, std::chrono::seconds timeout = std::chrono::seconds(60)) const;
  void set_server_default(const std::string& name);
  // Runs an lpadmin/cupsdisable/cupsreject-style command against the server.
  void run(const std::string& shell_command);
  std::filesystem::path capture_dir(const std::string& queue) const;

  // Jobs captured for `queue` so far, oldest first.
  std::vector<CapturedJob> jobs(const std::string& queue) const;
  // Waits until `count` jobs were captured (or the time is up) and returns them.
  std::vector<CapturedJob> wait_for_jobs(const std::string& queue, std::size_t count,
                                         std::chrono::seconds timeout = std::chrono::seconds(30)) const;
  // Waits until the server has no job left queued or printing (all queues).
  void wait_idle(std::chrono::seconds timeout = std::chrono::seconds(30)) const;

  ~PrivateCups();

 private:
  PrivateCups();
  std::filesystem::path dir_;
  bool own_ = false;
};

}  // namespace tarvo::test
