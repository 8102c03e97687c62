#pragma once

#include <string>
#include <vector>

#include "engine/job_services.h"
#include "engine/job_state.h"
#include "tests/support/page_device_recording.h"
#include "printing/win32prn.h"
#include "tests/support/test_support.h"

namespace tarvo::test {

// A spooler that knows no printer and sends nothing.
class NoSpooler final : public PrinterService {
 public:
  std::vector<std::string> GETPRINTERS() override { return {}; }
  std::string GETDEFAULTPRINTER() override { return {}; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override { return -2; }
  RawSendResult send_raw(std::string_view, RawSource&, std::string_view) override { return {RawResult::no_printer, {}}; }
};

// A job whose page objects draw on recording devices.
struct RecordedJob {
  RecordingPageDevices devices;
  PageRecording& rec = devices.recording();
  NoSpooler spooler;
  RecordingMessages messages;
  JobState state;
  JobServices services{state, spooler, messages, &devices, nullptr};

  RecordedJob() {
    state.V_ENTER = "\r\n";
    state.V_IMP_WIN = "S";
    state.V_IMP_USB = "N";
  }

  // A created page object with its document started, as after "NP" and "ST".
  WIN32PRN& printing_page() {
    state.OPRINTER = std::make_unique<WIN32PRN>(&devices);
    state.OPRINTER->New("Laser");
    state.OPRINTER->Create();
    state.OPRINTER->StartDoc("doc");
    return *state.OPRINTER;
  }
  const FontRequest& font() const { return rec.fonts.back(); }
};

}  // namespace tarvo::test
