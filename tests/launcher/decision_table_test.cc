#include <gtest/gtest.h>

#include <filesystem>

#include "launcher/chooser.h"
#include "tests/engine/print_file.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;

constexpr std::string_view kDirect = "=+IMPRESSAO_DIRETA+=";
constexpr std::string_view kDos = "=+IMPRESSAO_PADRAO_DO_DOS+=";
// Without a display the window path ends with the box that says the window
// cannot open; nothing else is said on that path.
const std::string kNoWindow = " -= TarvoUSB =- : " + std::string(kSemJanela) + "\n";

// The binary with its default printer named by LPDEST: whether the file is
// printed at once, and what the user is told, follow from the mode of the
// file and whether that printer is installed.
class DecisionTable : public ::testing::Test {
 protected:
  void SetUp() override { cups.add_queue(queue); }

  test::RunResult run(std::string_view content, const std::string& lpdest) {
    const auto file = dir.write("job.txt", content);
    return test::run_tarvousb({file.string()}, dir.path(), {cups.env(), "LPDEST=" + lpdest, "PRINTER"});
  }

  PrivateCups& cups = PrivateCups::instance();
  std::string queue = std::string("Table_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  test::TempDir dir;
};

TEST_F(DecisionTable, DirectFileWithInstalledDefaultReachesTheDriverSilently) {
  // One record that needs no page object: a text record would need an "NP" first.
  const auto r = run(test::record({"S", "0", "0", "EJ"}) + std::string(kDirect), queue);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
}

// Raw data shows that the at-once path printed on the default printer.
TEST_F(DecisionTable, DirectDosFileIsPrintedAtOnceOnTheDefaultPrinter) {
  const std::string data = "\x1b@linha 1\r\n\x0c";
  const auto r = run(std::string(kDos) + data + std::string(kDirect), queue);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), data + std::string(kDirect));
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "trv.txt"));
}

TEST_F(DecisionTable, DefaultNotInstalledIsReportedAndTheWindowFollows) {
  const auto r = run(std::string(kDos) + "x" + std::string(kDirect), "Table_Removed_Printer");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : Esta Impressora \"Table_Removed_Printer\" NAO está Instalada "
                   "neste Computador\n" + kNoWindow);
}

TEST_F(DecisionTable, FileNotAskingToPrintAtOnceOpensTheWindowSilently) {
  const auto r = run(test::record({"N", "1", "1", "texto"}), queue);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, kNoWindow);
  EXPECT_TRUE(cups.jobs(queue).empty());
}

TEST(DecisionTableWithoutServer, NoDefaultPrinterOpensTheWindowSilently) {
  test::TempDir dir;
  const auto file = dir.write("job.txt", test::record({"N", "1", "1", "texto"}) + std::string(kDirect));
  const auto r = test::run_tarvousb({file.string()}, dir.path(),
                                    {"CUPS_SERVER=" + (dir.path() / "no-server.sock").string(), "LPDEST",
                                     "PRINTER"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, kNoWindow);
}

}  // namespace
}  // namespace tarvo
