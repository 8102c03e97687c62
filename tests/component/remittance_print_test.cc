// Slips with a remittance file, through the program and the private CUPS
// server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "slip_file.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

std::vector<std::string> lines_of(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  const std::string text = tarvo::test::read_file(file);
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

// What each message box of an unattended run begins with.
constexpr std::string_view kBox = " -= TarvoUSB =- ";

std::string quoted(const std::string& text) { return "'" + text + "'"; }

class RemittancePrint : public ::testing::Test {
 protected:
  void SetUp() override {
    cups_.add_queue(queue_);
    profile_ = test::bradesco_profile(dir_);
    std::filesystem::create_directories(remessas_);
  }
  // The environment of a run, as shell assignments.
  std::string environment() const {
    return "-u DISPLAY -u WAYLAND_DISPLAY " + quoted(cups_.env()) + " LPDEST=" + queue_ +
           " TARVOUSB_CONTAS=" + quoted(profile_.string()) + " XDG_STATE_HOME=" + quoted((dir_.path() / "estado").string());
  }
  // Runs the program on `slip_file` inside `wrapper` (a shell command that
  // ends by running its arguments); returns its standard error.
  std::string run(const std::string& slip_file, const std::string& wrapper = "") const {
    const auto err = dir_.path() / "stderr";
    const std::string command = "cd " + quoted(dir_.path().string()) + " && " + wrapper + " env " + environment() +
                                " " + TARVOUSB_BINARY + " " + slip_file + " 2>" + quoted(err.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return tarvo::test::read_file(err);
  }

  tarvo::test::PrivateCups& cups_ = tarvo::test::PrivateCups::instance();
  tarvo::test::TempDir dir_;
  std::filesystem::path profile_, remessas_ = dir_.path() / "remessas";
  // A queue of the test's own: the tests of a run share the server.
  std::string queue_ = std::string("remittance_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

// Four runs adding five slips each to one remittance file at the same time:
// every slip lands, and the next file takes the next sequence number.
TEST_F(RemittancePrint, ConcurrentRunsKeepEverySlipAndNewFilesAdvanceTheSequence) {
  std::string parallel = "cd " + quoted(dir_.path().string()) + " && for i in 0 1 2 3; do env " + environment() +
                         " " + TARVOUSB_BINARY + " slips$i.txt 2>>stderr & done; wait";
  for (int i = 0; i < 4; ++i)
    dir_.write("slips" + std::to_string(i) + ".txt",
               test::bradesco_slip_file(5, 100 + 10 * i, remessas_.string(), "CB.REM"));
  ASSERT_EQ(std::system(parallel.c_str()), 0);
  const std::string err = tarvo::test::read_file(dir_.path() / "stderr");
  EXPECT_EQ(err.find(kBox), std::string::npos) << err;
  EXPECT_EQ(cups_.wait_for_jobs(queue_, 20).size(), 20u);
  const auto lines = lines_of(remessas_ / "CB.REM");
  ASSERT_EQ(lines.size(), 22u);
  std::set<std::string> numbers;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    numbers.insert(lines[i].substr(70, 11));
    EXPECT_EQ(lines[i].substr(29, 7), "0403005");  // the account without its check digit
  }
  EXPECT_EQ(numbers.size(), 20u);
  EXPECT_EQ(lines[0].substr(110, 7), "0000001");

  dir_.write("outro.txt", test::bradesco_slip_file(1, 200, remessas_.string(), "CB2.REM"));
  const std::string other = run("outro.txt");
  EXPECT_EQ(other.find(kBox), std::string::npos) << other;
  EXPECT_EQ(lines_of(remessas_ / "CB2.REM").at(0).substr(110, 7), "0000002");
}

// A remittance folder on a full disk or a read-only one: nothing is printed
// and the message says why.
TEST_F(RemittancePrint, AFileThatCannotBeWrittenPrintsNothingAndSaysWhy) {
  const std::string mount_test = "unshare -m sh -c 'mount -t tmpfs tmpfs " + quoted(remessas_.string()) + "' 2>/dev/null";
  if (std::system(mount_test.c_str()) != 0) GTEST_SKIP() << "no private mounts here (needs root)";
  dir_.write("slips.txt", test::bradesco_slip_file(2, 300, remessas_.string(), "CB.REM"));
  const std::string full = "unshare -m sh -c 'mount -t tmpfs -o size=96k tmpfs remessas && "
                           "head -c 81920 /dev/zero > remessas/ocupado; exec \"$@\"' sh";
  const std::string err_full = run("slips.txt", full);
  EXPECT_NE(err_full.find("não há espaço em disco na pasta " + remessas_.string()), std::string::npos) << err_full;
  const std::string read_only = "unshare -m sh -c 'mount -t tmpfs -o ro tmpfs remessas && exec \"$@\"' sh";
  const std::string err_ro = run("slips.txt", read_only);
  EXPECT_NE(err_ro.find("o disco é somente leitura"), std::string::npos) << err_ro;
  cups_.wait_idle();
  EXPECT_TRUE(cups_.jobs(queue_).empty());
}

}  // namespace
}  // namespace tarvo::component
