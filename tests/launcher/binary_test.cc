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

// Where no box can really be shown, each goes to standard error, alone: Qt
// is not started, so it neither aborts, nor waits on a window nobody sees,
// nor writes lines of its own.
TEST(Binary, WithoutAUsableDisplayEachBoxGoesToStandardErrorAlone) {
  test::TempDir dir;
  const std::string job = dir.write("job.txt", "sem marcador").string();
  struct Case {
    std::vector<std::string> env;
    std::vector<std::string> args;
    std::string err;
  };
  const std::string missing = " -= TarvoUSB =- : Nao achou neunhum Arquivo para Imprimir 7.9702\n";
  const Case cases[] = {
      {{"QT_QPA_PLATFORM=xcb"}, {}, missing},
      {{"DISPLAY=:1999"}, {job}, kNoWindow},
      {{"QT_QPA_PLATFORM=offscreen"}, {job}, kNoWindow},
      {{"QT_QPA_PLATFORM=wayland;xcb", "WAYLAND_DISPLAY=sem-compositor", "XDG_RUNTIME_DIR=" + dir.path().string()},
       {job},
       kNoWindow},
  };
  for (const Case& c : cases) {
    std::vector<std::string> env = without_printers(dir);
    env.insert(env.end(), c.env.begin(), c.env.end());
    const auto r = test::run_tarvousb(c.args, dir.path(), env, 20);
    EXPECT_EQ(r.exit_code, 0) << c.env[0];
    EXPECT_EQ(r.err, c.err) << c.env[0];
  }
}

}  // namespace
}  // namespace tarvo
