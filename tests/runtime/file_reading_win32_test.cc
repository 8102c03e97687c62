#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "runtime/file_reading.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

// The path arrives in UTF-8: a name outside the local code page still opens.
TEST(ReadWholeFileWin32, AUnicodeNameOpens) {
  test::TempDir dir;
  const std::filesystem::path file = dir.path() / std::filesystem::path(L"relat\u00f3rio \u0142\u20ac.txt");
  std::ofstream(file, std::ios::binary) << "conte\xfa" "do";
  EXPECT_EQ(read_whole_file((dir.path().string() + "/relat\xc3\xb3rio \xc5\x82\xe2\x82\xac.txt")), "conte\xfa" "do");
}

// A file that its writer still holds open comes whole; devices give empty
// text.
TEST(ReadWholeFileWin32, FilesInUseComeWholeAndDevicesGiveEmptyText) {
  test::TempDir dir;
  const auto path = dir.path() / "aberto.txt";
  std::ofstream writer(path, std::ios::binary);
  writer << "dados" << std::flush;
  EXPECT_EQ(read_whole_file(path.string()), "dados");
  EXPECT_EQ(read_whole_file("NUL"), "");
}

}  // namespace
}  // namespace tarvo
