#include "component/local_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

// A second holder waits for the first to let go; the lock file goes with
// the last holder.
TEST(FileLock, TakesTurnsAndLeavesNoFileBehind) {
  tarvo::test::TempDir dir;
  const std::filesystem::path lock_file = dir.path() / "REMESSA.REM.lock";
  std::atomic<bool> second_has_it{false};
  std::thread second;
  {
    const FileLock first(lock_file);
    EXPECT_TRUE(std::filesystem::exists(lock_file));
    second = std::thread([&] {
      const FileLock again(lock_file);
      second_has_it = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(second_has_it);
  }
  second.join();
  EXPECT_TRUE(second_has_it);
  EXPECT_FALSE(std::filesystem::exists(lock_file));
}

TEST(FileLock, AFolderThatIsMissingIsAnErrorNotAWait) {
  tarvo::test::TempDir dir;
  EXPECT_THROW(FileLock(dir.path() / "nada" / "x.lock"), std::system_error);
}

// The new content takes the name whole, in a folder whose name has accents,
// and no temporary file stays beside it.
TEST(ReplaceFile, ReplacesTheContentUnderAnAccentedName) {
  tarvo::test::TempDir dir;
  const std::filesystem::path folder = dir.path() / path_from_utf8("Remessas São João");
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "CB081053678.REM";
  replace_file(file, "primeiro\r\n");
  replace_file(file, "segundo\r\n");
  EXPECT_EQ(tarvo::test::read_file(file), "segundo\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
  EXPECT_NE(file.string().find("São João"), std::string::npos);
  EXPECT_EQ(with_suffix(file, ".lock").filename().string(), "CB081053678.REM.lock");
}

TEST(ReplaceFile, AMissingFolderLeavesNothingAndSaysSo) {
  tarvo::test::TempDir dir;
  try {
    replace_file(dir.path() / "nada" / "x.rem", "x");
    ADD_FAILURE() << "no error";
  } catch (const std::system_error& e) {
    EXPECT_EQ(describe(e.code()), "a pasta ou o arquivo não existe");
  }
}

}  // namespace
}  // namespace tarvo::component
