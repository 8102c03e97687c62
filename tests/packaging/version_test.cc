#include <gtest/gtest.h>

#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

TEST(Version, NamesThePackageAndTheVersionTheWindowShows) {
  test::TempDir dir;
  const auto r = test::run_tarvousb({"--version"}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "tarvousb " TARVOUSB_VERSION " (TARVO Printers 7.9702)\n");
  EXPECT_EQ(r.err, "");
}

// The business system names its files as it likes: a name that looks like
// an option is still the print file.
TEST(Version, AnyOtherArgumentIsThePrintFile) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "Version_Dashed_Name";
  cups.add_queue(queue);
  test::TempDir dir;
  const std::string data = "\x1b@linha 1\r\n\x0c=+IMPRESSAO_DIRETA+=";
  dir.write("--versao", "=+IMPRESSAO_PADRAO_DO_DOS+=" + data);
  const auto r = test::run_tarvousb({"--versao"}, dir.path(), {cups.env(), "LPDEST=" + queue, "PRINTER"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), data);
}

}  // namespace
}  // namespace tarvo
