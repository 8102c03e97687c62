#include <windows.h>

#include <algorithm>

#include "printing/raw_file.h"
#include "runtime/handle_win32.h"
#include "runtime/wide_text.h"

namespace tarvo {
namespace {

class InputFile final : public RawSource {
 public:
  explicit InputFile(UniqueHandle file) : file_(std::move(file)) {}

  std::optional<std::size_t> read(std::span<char> buffer) override {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer.data(), size, &got, nullptr)) return std::nullopt;
    return got;
  }

 private:
  UniqueHandle file_;
};

}  // namespace

// A folder does not open: opening one takes a flag of its own.
std::unique_ptr<RawSource> open_raw_file(const std::string& path) {
  UniqueHandle file(CreateFileW(wide_from_utf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<InputFile>(std::move(file));
}

}  // namespace tarvo
