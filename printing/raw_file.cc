#include "printing/raw_file.h"

#include <vector>

namespace tarvo {

int print_file_raw(const Value& printer, const Value& file, const Value& title, const RawSend& send) {
  if (!printer.is_text() || !file.is_text()) return result_number(RawResult::bad_arguments);
  const std::string& path = file.text();
  std::unique_ptr<RawSource> in;
  return result_number(send(printer.text(), title.is_text() ? title.text() : path, [&] {
                         in = open_raw_file(path);
                         return in.get();
                       }).code);
}

RawCopy copy_raw_data(RawSource& source, std::size_t piece,
                      const std::function<bool(std::string_view)>& write) {
  constexpr char kEndOfFile = 0x1A;
  // The last byte read waits at the front of the buffer until the next read
  // shows whether it was the source's last; the buffer has room for it
  // beside a whole piece.
  std::vector<char> buffer(piece + 1);
  std::size_t held = 0;
  for (;;) {
    const std::optional<std::size_t> got = source.read(std::span(buffer).subspan(held));
    if (!got) return RawCopy::read_failed;
    if (*got == 0) break;
    const std::size_t filled = held + *got;
    if (filled > 1 && !write(std::string_view(buffer.data(), filled - 1))) return RawCopy::write_failed;
    buffer[0] = buffer[filled - 1];
    held = 1;
  }
  if (held == 1 && buffer[0] != kEndOfFile && !write(std::string_view(buffer.data(), 1)))
    return RawCopy::write_failed;
  return RawCopy::done;
}

}  // namespace tarvo
