// Any bytes as a whole print job on the recording page devices: records
// drawn on pages, a slip file handed to a component that takes every member,
// or a DOS-standard file sent through the temporary file of a scratch
// folder to a spooler that takes it. Once on devices that print, once on
// devices that lose every document and fail on the second page. Whatever
// the file, the job ends with its page objects released and the file given
// back, draws nothing the file does not hold, leaves no temporary file
// behind, and a job that did not print says why.
#include "engine/driver.h"
#include "tests/support/page_device_recording.h"
#include "printing/win32prn.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;

bool reached_user(tarvo::JobOutcome outcome) {
  return outcome == tarvo::JobOutcome::failed || outcome == tarvo::JobOutcome::not_found;
}

void run(std::string_view text, bool failing_devices, tarvo::AutomationRegistry& component,
         const tarvo::fuzz::ScratchFolder& scratch) {
  tarvo::RecordingPageDevices devices;
  devices.known = {"Recorder"};
  devices.lose_documents = failing_devices;
  devices.failing_page = failing_devices ? 2 : 0;
  tarvo::fuzz::Job job(text, &devices, &component);
  const tarvo::JobState& state = job.state;

  const tarvo::JobOutcome outcome = tarvo::IMPRIMIR_TXT(job.services, "Recorder");

  const tarvo::PageRecording& rec = devices.recording();
  if (state.OPRINTER || rec.open_devices != 0) finding("a page object outlived its job");
  if (state.V_DADOS_ARQUIVO != text) finding("the print file was not given back whole");
  for (const auto& drawn : rec.texts)
    if (text.find(drawn.text) == std::string_view::npos) finding("a text was drawn that the file does not hold");
  if (reached_user(outcome) && job.messages.boxes == 0) finding("a job that did not print said nothing");
  if (std::filesystem::exists(scratch.work() / "trv.txt")) finding("the raw job's temporary file was left behind");
  if (!rec.events_starting("failure ").empty() && job.messages.boxes == 0)
    finding("a document the device lost was not reported");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarvo::fuzz::ScratchFolder scratch;
  static const auto component = tarvo::fuzz::accepting_slip_component();
  const std::string_view text = tarvo::fuzz::text_of(data, size);
  for (const bool failing_devices : {false, true}) {
    run(text, failing_devices, *component, scratch);
    scratch.clear();
  }
  return 0;
}
