#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "printing/temp_file.h"
#include "runtime/descriptor_posix.h"

namespace tarvo {
namespace {

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The file `fd` is open on still has the name `path`.
bool still_named(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && same_file(opened, named);
}

bool lock_exclusive(int fd) {
  while (::flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return false;
  return true;
}

// Quotas run out the way a full disk does, for the user.
std::error_code system_error(int error) {
  if (error == EDQUOT) error = ENOSPC;
  return {error, std::generic_category()};
}

}  // namespace

// A new file, so that no one else can have it open. Another run that finds
// it before we hold its lock may take it for a leftover and remove it: the
// name no longer denotes it once we hold the lock, and we start again.
LockedTempFile::Step LockedTempFile::create_own_file() {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    if (errno == EEXIST) return Step::again;
    fail(Problem::cannot_create, system_error(errno));
    return Step::failed;
  }
  if (!lock_exclusive(fd_)) {
    fail(Problem::cannot_create, system_error(errno));
    ::close(fd_);
    fd_ = -1;
    return Step::failed;
  }
  if (still_named(fd_, path_)) return Step::done;
  ::close(fd_);
  fd_ = -1;
  return Step::again;
}

// Opened read-only, only to see what it is and to wait for its lock;
// O_NONBLOCK keeps a FIFO of that name from stalling the open.
LockedTempFile::Step LockedTempFile::deal_with_existing_file() {
  const Descriptor existing(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (existing.get() < 0) {
    if (errno == ENOENT) return Step::again;  // gone meanwhile
    fail(errno == ELOOP ? Problem::link : Problem::cannot_create,
         errno == ELOOP ? std::error_code{} : system_error(errno));
    return Step::failed;
  }
  struct stat st {};
  if (::fstat(existing.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    fail(Problem::not_a_file);
    return Step::failed;
  }
  const bool ours = st.st_uid == ::geteuid() && st.st_nlink == 1;
  if (ours && !lock_exclusive(existing.get())) {
    fail(Problem::cannot_create, system_error(errno));
    return Step::failed;
  }
  if (!still_named(existing.get(), path_)) return Step::again;
  if (::unlink(path_.c_str()) == 0 || errno == ENOENT) return Step::again;
  fail(ours ? Problem::cannot_create : Problem::foreign, system_error(errno));
  return Step::failed;
}

bool LockedTempFile::write(std::string_view bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail(Problem::cannot_write, system_error(n < 0 ? errno : ENOSPC));
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    written_ += n;
  }
  return true;
}

bool LockedTempFile::reserve(std::size_t size) {
  if (!ok()) return false;
  if (size == 0) return true;
  const int error = ::posix_fallocate(fd_, 0, static_cast<off_t>(size));
  if (error == 0 || error == EOPNOTSUPP || error == EINVAL) return true;
  fail(Problem::cannot_write, system_error(error));
  return false;
}

std::optional<std::size_t> LockedTempFile::read(std::span<char> buffer) {
  if (!ok()) return std::nullopt;
  for (;;) {
    const auto unread = static_cast<std::size_t>(written_ - read_at_);
    const ssize_t n = ::pread(fd_, buffer.data(), std::min(buffer.size(), unread), read_at_);
    if (n >= 0) {
      read_at_ += n;
      return static_cast<std::size_t>(n);
    }
    if (errno != EINTR) return std::nullopt;
  }
}

void LockedTempFile::remove() {
  if (fd_ < 0) return;
  if (still_named(fd_, path_)) ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tarvo
