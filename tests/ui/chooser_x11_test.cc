#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"
#include "tests/ui/x_server.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;

// The example report without its direct-print marker: the program opens the
// chooser instead of printing at once.
std::string report_for_the_window() {
  std::string text = test::read_file(std::string(TARVO_SOURCE_DIR) + "/examples/relatorio.txt");
  const std::string marker = "=+IMPRESSAO_DIRETA+=";
  const auto at = text.find(marker);
  if (at != std::string::npos) text.erase(at, marker.size());
  return text;
}

// The real program on a real X server: the window comes up over the printer
// list, "i" prints on the current row (the default printer, first) and the
// program ends. A screenshot of the window is left in the build folder.
TEST(ChooserOnX, PressingIPrintsOnTheCurrentRowAndTheProgramEnds) {
  auto& cups = test::PrivateCups::instance();
  const std::string chosen = "chooser_x11_padrao";
  const std::string other = "chooser_x11_outra";
  cups.add_queue(chosen);
  cups.add_queue(other);

  test::XServer x;
  test::TempDir dir;
  const auto file = dir.write("relatorio.txt", report_for_the_window());
  // The X keymap reader (libxkbcommon-x11) copies counted names with strndup,
  // which AddressSanitizer's strict string checks take for an overflow.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asan_options = std::string(asan ? asan : "") + ":strict_string_checks=0";
  const std::vector<std::string> env = {cups.env(), "LPDEST=" + chosen, x.env(), "ASAN_OPTIONS=" + asan_options};
  auto program = std::async(std::launch::async, [&] { return test::run_tarvousb({file.string()}, dir.path(), env, 90); });

  int status = -1;
  const std::string window =
      x.client("timeout 30 xdotool search --sync --onlyvisible --name '^TARVO Printers ' | head -n 1", &status);
  ASSERT_FALSE(window.empty()) << "no window; the program said: " << program.get().err;
  EXPECT_EQ(x.client("xdotool getwindowname " + window),
            "TARVO Printers 7.9702    " + (dir.path() / "relatorio").string());

  x.client("xdotool windowfocus --sync " + window);
  std::this_thread::sleep_for(700ms);  // let the grid paint its rows
  const std::string shot = std::string(TARVO_BINARY_DIR) + "/chooser-window.png";
  x.client("import -window " + window + " " + shot, &status);
  EXPECT_EQ(status, 0) << "screenshot";

  x.client("xdotool key --delay 50 i");
  ASSERT_EQ(program.wait_for(60s), std::future_status::ready) << "the program did not end after \"i\"";
  const test::RunResult r = program.get();
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(x.client("xdotool search --name '^TARVO Printers ' | wc -l"), "0");

  const auto jobs = cups.wait_for_jobs(chosen, 1, 30s);
  ASSERT_EQ(jobs.size(), 1u) << r.err;
  EXPECT_TRUE(jobs[0].is_pdf());
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(other).empty());
}

}  // namespace
}  // namespace tarvo
