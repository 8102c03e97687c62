#include "runtime/file_reading.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace tarvo {
namespace {

TEST(ReadWholeFile, ARegularFileComesWholeByteForByte) {
  test::TempDir dir;
  std::string bytes(200 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
  EXPECT_EQ(read_whole_file(dir.write("big.txt", bytes).string()), bytes);
  EXPECT_EQ(read_whole_file(dir.write("empty.txt", "").string()), "");
}

// Folders and missing files give empty text and throw nothing.
TEST(ReadWholeFile, FoldersAndMissingFilesGiveEmptyText) {
  test::TempDir dir;
  for (const std::string& path : {dir.path().string(), (dir.path() / "missing").string(), std::string()})
    EXPECT_EQ(read_whole_file(path), "") << path;
}

}  // namespace
}  // namespace tarvo
