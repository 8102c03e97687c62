#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "printing/raw_file.h"

namespace tarvo {
namespace {

class InputFile final : public RawSource {
 public:
  explicit InputFile(int fd) : fd_(fd) {}
  ~InputFile() override { ::close(fd_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::optional<std::size_t> read(std::span<char> buffer) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) return std::nullopt;
    }
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<RawSource> open_raw_file(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<InputFile>(fd);
}

}  // namespace tarvo
