#include "printing/temp_file.h"

namespace tarvo {

// Each attempt either creates the file or waits for, or removes, the one in
// its way; someone who keeps putting files there is given up on.
LockedTempFile::LockedTempFile(std::string path) : path_(std::move(path)) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Step step = create_own_file();
    if (step == Step::again) step = deal_with_existing_file();
    if (step != Step::again) return;
  }
  fail(Problem::cannot_create, std::make_error_code(std::errc::device_or_resource_busy));
}

LockedTempFile::~LockedTempFile() { remove(); }

void LockedTempFile::fail(Problem problem, std::error_code error) {
  if (problem_ != Problem::none) return;
  problem_ = problem;
  error_ = error;
}

}  // namespace tarvo
