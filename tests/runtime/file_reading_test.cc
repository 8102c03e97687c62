#include "runtime/file_reading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/test_support.h"

namespace tarvo {
namespace {

TEST(ReadWholeFile, ARegularFileComesWholeByteForByte) {
  test::TempDir dir;
  std::string bytes(200 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
  EXPECT_EQ(read_whole_file(dir.write("big.txt", bytes).string()), bytes);
  EXPECT_EQ(read_whole_file(dir.write("empty.txt", "").string()), "");
  // Files whose length the system reports as 0 still give what they hold.
  EXPECT_NE(read_whole_file("/proc/self/status").find("Name:"), std::string::npos);
}

// Folders, FIFOs (no writer: opening must not wait), devices, files whose
// reading fails and missing files all give empty text and throw nothing.
TEST(ReadWholeFile, AnythingElseGivesEmptyText) {
  test::TempDir dir;
  const auto fifo = dir.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir.path().string(), fifo.string(), std::string("/dev/zero"),
                                 std::string("/proc/self/mem"), (dir.path() / "missing").string(),
                                 std::string()}) {
    EXPECT_EQ(read_whole_file(path), "") << path;
  }
}

}  // namespace
}  // namespace tarvo
