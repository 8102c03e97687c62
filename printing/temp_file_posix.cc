#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "printing/temp_file.h"

namespace tarvo {
namespace {

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

LockedTempFile::LockedTempFile(std::string path) : path_(std::move(path)) {
  // A run that held the lock removes the file before releasing it, so the
  // lock we were given may be on a file that no longer has the name: then
  // start again on the file that has it now.
  while (ok() && !lock_current_file()) {
  }
  if (ok() && ::ftruncate(fd_, 0) != 0) fail(Problem::cannot_write);
}

bool LockedTempFile::lock_current_file() {
  // O_NONBLOCK keeps a FIFO of that name from stalling the open; only a
  // plain file is accepted.
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd_ < 0) {
    fail(errno == ELOOP ? Problem::link : Problem::cannot_create);
    return false;
  }
  struct stat opened {};
  if (::fstat(fd_, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    give_up(Problem::not_a_file);
    return false;
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      give_up(Problem::cannot_create);
      return false;
    }
  }
  struct stat named {};
  if (::lstat(path_.c_str(), &named) == 0 && same_file(opened, named)) return true;
  ::close(fd_);
  fd_ = -1;
  return false;
}

// Leaves the file of that name alone: it is not ours to remove.
void LockedTempFile::give_up(Problem problem) {
  ::close(fd_);
  fd_ = -1;
  fail(problem);
}

void LockedTempFile::fail(Problem problem) {
  if (problem_ == Problem::none) problem_ = problem;
}

bool LockedTempFile::write(std::string_view bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail(Problem::cannot_write);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

LockedTempFile::~LockedTempFile() {
  if (fd_ < 0) return;
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd_, &opened) == 0 && ::lstat(path_.c_str(), &named) == 0 && same_file(opened, named))
    ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace tarvo
