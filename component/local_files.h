#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvo::component {

// What the component does with the files of this machine. The platform's
// version lives in local_files_<platform>.cc.

// An exclusive lock on a lock file, held while the object lives: another run
// (or another object of this one) asking for the same file waits its turn.
// The lock file is created when missing and removed when the lock is let go.
class FileLock {
 public:
  // Throws std::system_error when the lock file cannot be created or locked.
  explicit FileLock(std::filesystem::path path);
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&&) = delete;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  bool lock_current_file();

  std::filesystem::path path_;
  std::intptr_t handle_ = -1;
};

// Replaces the file `path` by one holding `content`: the content is written
// to a new file beside it and flushed to the disk, which then takes the
// name. Throws std::system_error; the earlier file is then as it was.
void replace_file(const std::filesystem::path& path, std::string_view content);

// The folder of the program's own state (tarvousb under $XDG_STATE_HOME,
// else under ~/.local/state; on Windows under %LOCALAPPDATA%); empty when
// none is known.
std::filesystem::path state_directory();
// The variables that name it, for a message when none is set.
std::string state_directory_variables();

// The path with `suffix` added to its last name ("x.rem" gives "x.rem.lock").
inline std::filesystem::path with_suffix(std::filesystem::path path, std::string_view suffix) {
  return path += std::string(suffix);
}

// A path from UTF-8 text, whatever the platform's own encoding of names.
inline std::filesystem::path path_from_utf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A system error in the program's words ("a pasta não existe", "o disco
// está cheio"), for messages to the user.
std::string describe(const std::error_code& error);

}  // namespace tarvo::component
