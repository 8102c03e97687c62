#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "printing/printer_service.h"

namespace tarvo {

// The file at `path` opened for a raw send, for reading, others allowed to
// read it too; nullptr when it cannot be opened or is a folder. Each
// platform's version lives in raw_file_<platform>.cc.
std::unique_ptr<RawSource> open_raw_file(const std::string& path);

// A send whose source is opened by `open` once the job is ready for data;
// `open` gives null when it cannot.
using OpenRawSource = std::function<RawSource*()>;
using RawSend = std::function<RawSendResult(std::string_view printer, std::string_view title,
                                            const OpenRawSource& open)>;

// PRINTFILERAW on a spooler's send: the arguments checked, the title the
// file's name when none is given, the file opened when the job is ready.
int print_file_raw(const Value& printer, const Value& file, const Value& title, const RawSend& send);

enum class RawCopy { done, read_failed, write_failed };

// Reads `source` to its end and hands its bytes on to `write` in pieces of
// at most `piece` bytes, in order; `write` returns false to stop. Files
// written by the memo routines end in one end-of-file byte (0x1A), which is
// not printer data: the source's last byte is left out when it is one. A
// 0x1A anywhere else, at the end of a piece too, is printer data like any
// other byte.
RawCopy copy_raw_data(RawSource& source, std::size_t piece,
                      const std::function<bool(std::string_view)>& write);

}  // namespace tarvo
