#include "printing/temp_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;

std::string read_back(LockedTempFile& file) {
  std::string out;
  char buffer[7];
  while (const auto n = file.read(buffer).value_or(0)) out.append(buffer, n);
  return out;
}

std::string read_fd(int fd) {
  std::string out;
  char buffer[256];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
  return out;
}

class TempFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play another user";
  }
  fs::path name() const { return dir.path() / "trv.txt"; }
  test::TempDir dir;
};

// Another user's file of that name, which its owner keeps open, and a second
// link to a file of ours: neither is written. The name is given a new file,
// ours alone, and the others keep what they held.
TEST_F(TempFile, FileOfAnotherUserOrSecondLinkIsReplacedNotWritten) {
  const auto foreign = dir.write("trv.txt", "deles");
  ::chown(foreign.c_str(), kOtherUser, kOtherUser);
  ::chmod(foreign.c_str(), 0666);
  const int owners_view = ::open(foreign.c_str(), O_RDONLY);
  {
    LockedTempFile file(name().string());
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(file.write("meus dados"));
    struct stat st {};
    ASSERT_EQ(::lstat(name().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(read_back(file), "meus dados");
  }
  EXPECT_EQ(read_fd(owners_view), "deles");
  ::close(owners_view);
  EXPECT_FALSE(fs::exists(name()));

  const auto precious = dir.write("importante.txt", "importante");
  fs::create_hard_link(precious, name());
  {
    LockedTempFile file(name().string());
    ASSERT_TRUE(file.write("meus dados"));
  }
  EXPECT_EQ(test::read_file(precious), "importante");
}

// A leftover of ours (a run that was killed) is replaced like any other.
TEST_F(TempFile, LeftoverOfOursIsReplaced) {
  dir.write("trv.txt", "dados antigos de outra vez");
  LockedTempFile file(name().string());
  ASSERT_TRUE(file.write("novos"));
  EXPECT_EQ(read_back(file), "novos");
  EXPECT_EQ(test::read_file(name()), "novos");
}

// In a shared folder with the sticky bit another user's file cannot be
// removed: we refuse rather than write into it. (The folder is made where
// the other user can reach it.)
TEST_F(TempFile, FileOfAnotherUserThatCannotBeRemovedIsRefused) {
  std::string shared = (fs::temp_directory_path() / "tarvo-shared-XXXXXX").string();
  ASSERT_NE(::mkdtemp(shared.data()), nullptr);
  ::chmod(shared.c_str(), 01777);
  const fs::path foreign = fs::path(shared) / "trv.txt";
  std::FILE* out = std::fopen(foreign.c_str(), "w");
  std::fputs("deles", out);
  std::fclose(out);
  ::chmod(foreign.c_str(), 0666);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) ::_exit(2);
    LockedTempFile file(foreign.string());
    ::_exit(file.problem() == LockedTempFile::Problem::foreign && !file.write("x") ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(test::read_file(foreign), "deles");
  fs::remove_all(shared);
}

}  // namespace
}  // namespace tarvo
