#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// A temporary file of a fixed name, created for one send and removed
// afterwards. While it exists the run holds an exclusive lock on it, so two
// runs using the same name in one folder take turns instead of sending each
// other's data. A symbolic link (or anything but a plain file) of that name
// is refused, never followed.
class LockedTempFile {
 public:
  enum class Problem { none, link, not_a_file, cannot_create, cannot_write };

  // Opens or creates `path`, waits for its lock and empties it.
  explicit LockedTempFile(std::string path);
  // Removes the file, when the name still denotes it, and releases the lock.
  ~LockedTempFile();
  LockedTempFile(const LockedTempFile&) = delete;
  LockedTempFile& operator=(const LockedTempFile&) = delete;

  bool ok() const { return problem_ == Problem::none; }
  Problem problem() const { return problem_; }
  const std::string& path() const { return path_; }

  // Appends bytes; false (and Problem::cannot_write) when they could not all
  // be written.
  bool write(std::string_view bytes);

 private:
  bool lock_current_file();
  void fail(Problem problem);
  void give_up(Problem problem);

  std::string path_;
  int fd_ = -1;
  Problem problem_ = Problem::none;
};

}  // namespace tarvo
