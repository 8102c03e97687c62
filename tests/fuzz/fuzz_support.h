#pragma once

// What the harnesses share: the input as the program's text, message boxes
// that only count, a stand-in for the slip component, and a scratch folder
// that each input starts from empty.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/job_services.h"
#include "engine/messages.h"
#include "printing/automation.h"
#include "printing/printer_service.h"

namespace tarvo::fuzz {

inline std::string_view text_of(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A broken promise of the code under test: libFuzzer keeps the input that
// led here as a crash.
[[noreturn]] void finding(std::string_view what);

// Message boxes nobody sees; the harnesses check that a failure showed one.
// With TARVO_FUZZ_SHOW=1 in the environment their texts go to standard
// error, for a look at what an input does.
class CountingMessages final : public Messages {
 public:
  int boxes = 0;
  void G_ERRO(const Value& message) override;
  void alert(std::string_view message) override;
  bool G_CONF(std::string_view question, std::string_view) override;
  void runtime_error(const RuntimeError& error) override;

 private:
  void show(std::string_view text);
};

// A spooler with one printer that takes every raw job without reading it.
class AcceptingSpooler final : public PrinterService {
 public:
  std::vector<std::string> GETPRINTERS() override { return {"Recorder"}; }
  std::string GETDEFAULTPRINTER() override { return "Recorder"; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override { return 1; }
  RawSendResult send_raw(std::string_view, RawSource& source, std::string_view) override {
    std::array<char, 4096> buffer;
    while (auto got = source.read(buffer)) {
      if (*got == 0) return {};
    }
    return {RawResult::no_file, {}};
  }
};

// An automation registry whose slip component takes every member and prints
// nothing: what the slip records become is the harness's concern, not the
// component's.
std::unique_ptr<AutomationRegistry> accepting_slip_component();

// One job as startup hands it to the engine: the run's settings, the
// members startup sets, the file as the job's text, and services that only
// count what reaches the user.
struct Job {
  JobState state;
  AcceptingSpooler spooler;
  CountingMessages messages;
  JobServices services{state, spooler, messages, nullptr, nullptr};

  Job(std::string_view file, PageDeviceFactory* pages, AutomationRegistry* automation);
};

// A fresh folder under $TMPDIR (or /tmp) that is the process's current
// folder: files the code writes by relative name (the raw job's temporary
// file, remittance files) land there. clear() empties it between inputs;
// the folder goes when the process ends normally.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& root() const { return root_; }
  // The current folder, root()/work.
  const std::filesystem::path& work() const { return work_; }
  // Removes everything under work() and the named folders of root().
  void clear(std::initializer_list<std::string_view> also = {}) const;

 private:
  std::filesystem::path root_, work_;
};

}  // namespace tarvo::fuzz
