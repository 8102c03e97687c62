// Decodes a generated 50 MB positioned-record file with the record reader.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/job_state.h"
#include "engine/record_reader.h"

namespace {

std::string report(std::size_t bytes) {
  std::string out;
  out.reserve(bytes + 256);
  out += "/#%#S&#$|0&#$|0&#$|NP&#$|%$@\\\r\n/#%#S&#$|0&#$|0&#$|ST&#$|%$@\\\r\n";
  int row = 0;
  while (out.size() < bytes) {
    out += "/#%#N&#$|";
    out += std::to_string(row % 66);
    out += "&#$|0&#$|";
    out += "Cliente 000123  Rua das Flores, 100 - Centro    R$ 1.234,56  % 12/2026";
    out += row % 10 == 0 ? "&#$|NI&#$|ND&#$|" : "&#$|&#$|&#$|";
    out += "&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|&#$|%$@\\\r\n";
    if (++row % 66 == 0) out += "/#%#S&#$|0&#$|0&#$|EP&#$|%$@\\\r\n";
  }
  return out;
}

void BM_ReadRecords(benchmark::State& state) {
  const std::string text = report(50u << 20);
  long records = 0;
  for (auto _ : state) {
    tarvo::JobState job;
    job.start_job(text);
    while (job.WII <= job.WFINAL && tarvo::OBTER_LINHA_T_FILES_IMP(job)) ++records;
    benchmark::DoNotOptimize(job.WTOT_LINHAS);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
