#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "launcher/chooser.h"
#include "printing/spooler_cups.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;

class ServerDefault : public ::testing::Test {
 protected:
  // No variable and no lpoptions file names a default: the server decides.
  void SetUp() override {
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    ::setenv("HOME", settings.path().c_str(), 1);
    ::setenv("CUPS_SERVERROOT", settings.path().c_str(), 1);
    cups.add_queue("Default_Office_Laser");
    cups.add_queue("Default_Label");
  }
  PrivateCups& cups = PrivateCups::instance();
  test::TempDir settings;
  CupsSpooler spooler;
};

TEST_F(ServerDefault, ListHoldsBothQueuesInOrderAndTheServerDefaultIsNamed) {
  cups.set_server_default("Default_Office_Laser");
  const auto names = spooler.GETPRINTERS();
  const auto label = std::find(names.begin(), names.end(), "Default_Label");
  const auto laser = std::find(names.begin(), names.end(), "Default_Office_Laser");
  ASSERT_NE(label, names.end());
  ASSERT_NE(laser, names.end());
  EXPECT_LT(label, laser);
  EXPECT_EQ(spooler.GETDEFAULTPRINTER(), "Default_Office_Laser");

  ::setenv("LPDEST", "Default_Label", 1);
  EXPECT_EQ(spooler.GETDEFAULTPRINTER(), "Default_Label");
}

// Removing the default queue leaves the server without a default.
class NoServerDefault : public ServerDefault {
 protected:
  void SetUp() override {
    ServerDefault::SetUp();
    cups.add_queue("Default_Removed");
    cups.set_server_default("Default_Removed");
    cups.remove_queue("Default_Removed");
  }
};

TEST_F(NoServerDefault, NoDefaultGivesEmptyName) { EXPECT_EQ(spooler.GETDEFAULTPRINTER(), ""); }

// A file that asks to print at once, with no default printer anywhere: the
// window path, without the printer-not-installed message; with no display
// the window itself cannot open and says so.
TEST_F(NoServerDefault, DirectFileGoesToTheWindowSilently) {
  test::TempDir dir;
  const auto file = dir.write("job.txt", "/#%#N&#$|1&#$|1&#$|texto&#$|%$@\\=+IMPRESSAO_DIRETA+=");
  const auto r = test::run_tarvousb({file.string()}, dir.path(),
                                    {cups.env(), "LPDEST", "PRINTER", "HOME=" + settings.path().string(),
                                     "CUPS_SERVERROOT=" + settings.path().string()});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : " + std::string(kSemJanela) + "\n");
}

}  // namespace
}  // namespace tarvo
