#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The whole content of the regular file at `path`, as bytes. Anything that
// cannot be read as one gives empty text: a missing file, a folder, a FIFO or
// a device, a read error or a file too large to hold. Opening never waits on
// a FIFO, and nothing is thrown.
std::string read_whole_file(std::string_view path) noexcept;

}  // namespace tarvo
