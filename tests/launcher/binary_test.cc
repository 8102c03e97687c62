#include <gtest/gtest.h>
#include <sys/stat.h>

#include "launcher/chooser.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

const std::string kNoWindow = " -= TarvoUSB =- : " + std::string(kSemJanela) + "\n";

// No printer service to ask: the runs below need none.
std::vector<std::string> without_printers(const test::TempDir& dir) {
  return {"CUPS_SERVER=" + (dir.path() / "no-server.sock").string(), "LPDEST", "PRINTER"};
}

TEST(Binary, NoArgumentReportsOnStandardError) {
  test::TempDir dir;
  const auto r = test::run_tarvousb({}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : Nao achou neunhum Arquivo para Imprimir 7.9702\n");
}

// A path that names no regular file is a file that cannot be read: empty
// text, so the window path, which without a display ends in its box. None of
// them may abort, wait on the file or fill the memory.
TEST(Binary, APathThatIsNoRegularFileLeadsToTheWindow) {
  test::TempDir dir;
  const auto fifo = dir.path() / "sem-escritor.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir.path().string(), fifo.string(), std::string("/dev/zero"),
                                 std::string("/proc/self/mem")}) {
    const auto r = test::run_tarvousb({path}, dir.path(), without_printers(dir), 20);
    EXPECT_EQ(r.exit_code, 0) << path;
    EXPECT_EQ(r.err, kNoWindow) << path;
  }
}

}  // namespace
}  // namespace tarvo
