// Any bytes as a print file: the job mode its tail asks for, then every
// positioned record read the way the job driver reads them. Each read must
// move the cursor on, and every field must be a part of the file.
#include "engine/control_language.h"
#include "engine/job_state.h"
#include "engine/record_reader.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;

bool inside(std::string_view part, std::string_view whole) {
  return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void check_mode(std::string_view text) {
  const std::string mode = tarvo::IMPRESSAO_DIRETA(text);
  const bool marked = tarvo::ifind(tarvo::right(text, tarvo::kTailLength), tarvo::kMarcaDireta) != 0;
  if (mode != (marked ? "2" : "3")) finding("the job mode does not follow the marker in the tail");
}

void read_records(tarvo::JobState& s) {
  const std::string_view file = s.W_DADOS_ARQUIVO;
  long records = 0;
  while (s.WII <= s.WFINAL) {
    const std::size_t before = s.WII;
    const bool complete = tarvo::OBTER_LINHA_T_FILES_IMP(s);
    if (s.WII <= before) finding("a read did not move the cursor on");
    for (std::string_view field : {s.WCONFIG, s.WCAMPO, s.WANTES, s.WDEPOIS, s.WESPACO, s.WFONTEWINDOWS,
                                   s.WFONTEWINDOWSDEPOIS})
      if (!inside(field, file)) finding("a field that is not a part of the file");
    if (!complete) break;
    ++records;
    tarvo::DESCARTA_COMANDO_POR_SER_CONFIGURACAO(s.WLINHA, s.WCOLUNA, s.WCAMPO);
  }
  if (s.WTOT_LINHAS != records) finding("the record count differs from the records read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tarvo::fuzz::text_of(data, size);
  check_mode(text);
  tarvo::JobState state;
  state.start_job(std::string(text));
  read_records(state);
  return 0;
}
