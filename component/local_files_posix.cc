#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "component/local_files.h"
#include "runtime/descriptor_posix.h"

namespace tarvo::component {

namespace {

[[noreturn]] void throw_errno(const std::filesystem::path& path) {
  throw std::system_error(errno, std::generic_category(), path.string());
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

void write_all(int fd, std::string_view bytes, const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw_errno(path);
    if (n == 0) throw std::system_error(ENOSPC, std::generic_category(), path.string());
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

FileLock::FileLock(std::filesystem::path path) : path_(std::move(path)) {
  // A holder removes the lock file before letting go, so the lock we were
  // given may be on a file that has lost its name: then lock the file that
  // has the name now.
  while (!lock_current_file()) {
  }
}

bool FileLock::lock_current_file() {
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) throw_errno(path_);
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    ::close(fd);
    throw std::system_error(EEXIST, std::generic_category(), path_.string());
  }
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      const int error = errno;
      ::close(fd);
      throw std::system_error(error, std::generic_category(), path_.string());
    }
  }
  struct stat named {};
  if (::lstat(path_.c_str(), &named) == 0 && same_file(opened, named)) {
    handle_ = fd;
    return true;
  }
  ::close(fd);
  return false;
}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
  other.handle_ = -1;
}

FileLock::~FileLock() {
  if (handle_ < 0) return;
  const int fd = static_cast<int>(handle_);
  ::unlink(path_.c_str());
  ::close(fd);
}

void replace_file(const std::filesystem::path& path, std::string_view content) {
  // A name of our own beside the file: this process, and a count for the
  // files it writes.
  static std::atomic<unsigned> count{0};
  const std::filesystem::path temp =
      path.string() + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(count++);
  {
    const Descriptor out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (out.get() < 0) throw_errno(temp);
    try {
      write_all(out.get(), content, temp);
      if (::fsync(out.get()) != 0) throw_errno(temp);
    } catch (...) {
      ::unlink(temp.c_str());
      throw;
    }
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw std::system_error(error, std::generic_category(), path.string());
  }
}

std::filesystem::path state_directory() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return std::filesystem::path(state) / "tarvousb";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::filesystem::path(home) / ".local" / "state" / "tarvousb";
  return {};
}

std::string state_directory_variables() { return "HOME ou XDG_STATE_HOME"; }

std::string describe(const std::error_code& error) {
  if (error.category() == std::generic_category() || error.category() == std::system_category()) {
    switch (error.value()) {
      case ENOENT: return "a pasta ou o arquivo não existe";
      case ENOTDIR: return "um nome do caminho não é uma pasta";
      case EACCES:
      case EPERM: return "não há permissão para gravar";
      case EROFS: return "o disco é somente leitura";
      case ENOSPC: return "o disco está cheio";
      case EDQUOT: return "a cota de disco acabou";
      case EEXIST: return "o nome já é de algo que não é um arquivo comum";
      case ELOOP: return "o nome é um atalho (link simbólico), que não é seguido";
      case EISDIR: return "o nome é de uma pasta";
      case EIO: return "erro de leitura ou gravação no disco";
      default: break;
    }
  }
  return error.message();
}

}  // namespace tarvo::component
