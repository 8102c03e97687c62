#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "component/local_files.h"

namespace tarvo::component {

// The sequence number of remittance files (NSA): banks refuse a file whose
// number they have already seen, so each account and layout keeps a
// counter of its own, the next number to use, in a one-line file of the
// state folder (state_directory()), e.g. remessa-237-1234-0403005-cnab400.seq.
class FileSequence {
 public:
  // Locks the counter `name` against other runs and reads it (1 when it is
  // not kept yet). A counter that cannot be locked or read is a component
  // failure of the account `label`.
  FileSequence(std::string label, const std::string& name, std::int64_t max);

  std::int64_t next() const { return next_; }

  // Stores the number after next(), back to 1 after `max`. The counter stays
  // locked until the object goes. Throws std::system_error.
  void advance();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::string label_;
  std::filesystem::path path_;
  std::optional<FileLock> lock_;
  std::int64_t next_ = 1, max_ = 1;
};

}  // namespace tarvo::component
