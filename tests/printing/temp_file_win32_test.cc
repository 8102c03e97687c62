#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "printing/temp_file.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string read_back(LockedTempFile& file) {
  std::string out;
  char buffer[7];
  while (const auto n = file.read(buffer).value_or(0)) out.append(buffer, n);
  return out;
}

struct TempFileWin32 : ::testing::Test {
  fs::path name() const { return dir.path() / "trv.txt"; }
  test::TempDir dir;
};

// What was written is read back whole, writes and reads taking turns;
// nobody else may change or remove the file meanwhile; it is gone
// afterwards.
TEST_F(TempFileWin32, WrittenBytesAreReadBackAndTheFileGoes) {
  {
    LockedTempFile file(name().string());
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(file.reserve(20));
    ASSERT_TRUE(file.write("primeira "));
    char first[4];
    ASSERT_EQ(file.read(first), 4u);
    ASSERT_TRUE(file.write("parte"));
    EXPECT_EQ(std::string(first, 4) + read_back(file), "primeira parte");
    EXPECT_FALSE(std::ofstream(name(), std::ios::app).is_open());
    std::error_code ec;
    EXPECT_FALSE(fs::remove(name(), ec));
  }
  EXPECT_FALSE(fs::exists(name()));
}

// A leftover (a run that was killed) is replaced; a folder of that name is
// refused, never removed.
TEST_F(TempFileWin32, LeftoverIsReplacedAndAFolderRefused) {
  dir.write("trv.txt", "dados antigos de outra vez");
  {
    LockedTempFile file(name().string());
    ASSERT_TRUE(file.write("novos"));
    EXPECT_EQ(read_back(file), "novos");
  }
  fs::create_directory(name());
  LockedTempFile folder(name().string());
  EXPECT_EQ(folder.problem(), LockedTempFile::Problem::not_a_file);
  EXPECT_FALSE(folder.write("x"));
  EXPECT_TRUE(fs::is_directory(name()));
}

// A second run in the same folder waits until the first lets the file go.
TEST_F(TempFileWin32, RunsInOneFolderTakeTurns) {
  auto first = std::make_unique<LockedTempFile>(name().string());
  ASSERT_TRUE(first->write("primeiro"));
  auto second = std::async(std::launch::async, [&] {
    LockedTempFile file(name().string());
    return file.write("segundo") ? read_back(file) : std::string("falhou");
  });
  EXPECT_EQ(second.wait_for(300ms), std::future_status::timeout);
  EXPECT_EQ(read_back(*first), "primeiro");
  first.reset();
  EXPECT_EQ(second.get(), "segundo");
}

}  // namespace
}  // namespace tarvo
