#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "runtime/file_reading.h"
#include "runtime/handle_win32.h"
#include "runtime/wide_text.h"

namespace tarvo {
namespace {

// Reads from `file` into `data` from `filled` on, growing it until the end
// of the file; false on a read error.
bool read_to_end(HANDLE file, std::string& data, std::size_t filled) {
  constexpr std::size_t kChunk = 64 * 1024;
  constexpr std::size_t kLargestRead = 1u << 30;  // a DWORD's worth, with room to spare
  for (;;) {
    if (filled == data.size()) data.resize(data.size() + kChunk);
    const auto room = static_cast<DWORD>(std::min(data.size() - filled, kLargestRead));
    DWORD got = 0;
    if (!ReadFile(file, data.data() + filled, room, &got, nullptr)) return false;
    if (got == 0) break;
    filled += got;
  }
  data.resize(filled);
  return true;
}

}  // namespace

// The path is UTF-8, as the command line gave it. Only a file on a disk
// counts: pipes, consoles and devices such as NUL or COM1 give empty text,
// and a folder does not open at all. Others may go on writing or removing
// the file while it is read.
std::string read_whole_file(std::string_view path) noexcept {
  if (path.empty()) return {};
  try {
    const UniqueHandle file(CreateFileW(wide_from_utf8(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return {};
    // Sized once from the file's length (one more byte to see the end), so a
    // large file is not held twice while the buffer grows.
    std::string data;
    data.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    if (!read_to_end(file.get(), data, 0)) return {};
    return data;
  } catch (const std::bad_alloc&) {
    return {};
  } catch (const std::length_error&) {
    return {};
  }
}

}  // namespace tarvo
