// Any bytes as a slip file: every slip record read as the slip loop reads
// it, then the whole slip loop with a component that takes every member.
// Each read must move the cursor on, and a slip file that stops must say
// why.
#include "engine/slip_issuing.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;

void read_records(std::string_view text) {
  tarvo::JobState s;
  s.start_job(std::string(text));
  while (s.WII <= s.WFINAL) {
    const std::size_t before = s.WII;
    const bool complete = tarvo::OBTER_LINHA_BOLETO(s);
    if (s.WII <= before) finding("a read did not move the cursor on");
    if (!complete) break;
  }
}

void issue(std::string_view text, tarvo::AutomationRegistry& component) {
  tarvo::fuzz::Job job({}, nullptr, &component);
  job.state.start_job(std::string(text));
  tarvo::IMPRESSAO_DE_BOLETOS(text);
  if (!tarvo::issue_slip_file(job.services) && job.messages.boxes == 0) finding("slips stopped without a message");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto component = tarvo::fuzz::accepting_slip_component();
  const std::string_view text = tarvo::fuzz::text_of(data, size);
  read_records(text);
  issue(text, *component);
  return 0;
}
