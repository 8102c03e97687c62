#include <sys/stat.h>

#include <gtest/gtest.h>

#include "runtime/file_reading.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

// Files whose length the system reports as 0 still give what they hold.
TEST(ReadWholeFilePosix, FilesWithoutALengthComeWhole) {
  EXPECT_NE(read_whole_file("/proc/self/status").find("Name:"), std::string::npos);
}

// FIFOs (no writer: opening must not wait), devices and files whose reading
// fails give empty text.
TEST(ReadWholeFilePosix, FifosDevicesAndUnreadableFilesGiveEmptyText) {
  test::TempDir dir;
  const auto fifo = dir.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo.string(), std::string("/dev/zero"), std::string("/proc/self/mem")})
    EXPECT_EQ(read_whole_file(path), "") << path;
}

}  // namespace
}  // namespace tarvo
