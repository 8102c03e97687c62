#include "runtime/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <stdexcept>

#include "runtime/descriptor_posix.h"

namespace tarvo {
namespace {

// Reads from `fd` into `data` from `filled` on, growing it until the end of
// the file; false on a read error.
bool read_to_end(int fd, std::string& data, std::size_t filled) {
  constexpr std::size_t kChunk = 64 * 1024;
  for (;;) {
    if (filled == data.size()) data.resize(data.size() + kChunk);
    const ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  data.resize(filled);
  return true;
}

}  // namespace

std::string read_whole_file(std::string_view path) noexcept {
  if (path.empty()) return {};
  try {
    // Non-blocking: opening a FIFO that has no writer must not hold the run.
    const Descriptor fd(::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return {};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    // Sized once from the file's length (one more byte to see the end), so a
    // large file is not held twice while the buffer grows.
    std::string data;
    data.resize(static_cast<std::size_t>(st.st_size) + 1);
    if (!read_to_end(fd.get(), data, 0)) return {};
    return data;
  } catch (const std::bad_alloc&) {
    return {};
  } catch (const std::length_error&) {
    return {};
  }
}

}  // namespace tarvo
