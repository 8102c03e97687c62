#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "printing/printer_service.h"

namespace tarvo {

// A temporary file of a fixed name in a folder that others may share,
// created afresh for one send and removed afterwards; the send reads it back
// through the same open file, so nothing done to the name meanwhile changes
// what is sent.
//
// Only a new file of our own, readable by us alone, is ever written. A plain
// file of ours already under that name belongs to another run of ours: we
// wait for its lock, so two runs in one folder take turns, then remove it if
// it is still there (a run that was killed left it). Another user's file, or
// a second link to some file, is removed when the folder lets us; otherwise
// we refuse. A symbolic link or anything but a plain file of that name is
// refused, never followed or removed.
//
// On Windows the file is kept open without letting others write or remove
// it, which is its lock; a run that finds it held waits until it is let go.
class LockedTempFile final : public RawSource {
 public:
  enum class Problem { none, link, not_a_file, foreign, cannot_create, cannot_write };

  explicit LockedTempFile(std::string path);
  // Same as remove().
  ~LockedTempFile() override;
  LockedTempFile(const LockedTempFile&) = delete;
  LockedTempFile& operator=(const LockedTempFile&) = delete;

  bool ok() const { return problem_ == Problem::none; }
  Problem problem() const { return problem_; }
  // The system's reason for the problem, as a std::errc value where one
  // fits (no space, no permission, read-only file system...); empty when
  // there is none.
  std::error_code error() const { return error_; }
  const std::string& path() const { return path_; }

  // Sets aside room for `size` bytes, so that a disk without it says so
  // before anything is written (where the file system can tell).
  bool reserve(std::size_t size);
  // Appends bytes; false (and Problem::cannot_write) when they could not all
  // be written.
  bool write(std::string_view bytes);
  // Reads what was written, from the first byte on, whatever was written
  // since the last read.
  std::optional<std::size_t> read(std::span<char> buffer) override;

  // Removes the file, when the name still denotes it, and releases the lock.
  void remove();

 private:
  enum class Step { done, again, failed };
  Step create_own_file();
  Step deal_with_existing_file();
  // The first problem is the one kept.
  void fail(Problem problem, std::error_code error = {});

  std::string path_;
  std::intptr_t fd_ = -1;  // the open file: a descriptor, on Windows a handle
  std::int64_t written_ = 0;
  std::int64_t read_at_ = 0;
  Problem problem_ = Problem::none;
  std::error_code error_;
};

}  // namespace tarvo
