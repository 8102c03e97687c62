#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "launcher/printer_table.h"
#include "printing/spooler_cups.h"
#include "runtime/text.h"
#include "tests/engine/print_file.h"
#include "tests/printing/cups_test_util.h"
#include "tests/support/pdf_text.h"
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

// The child's environment: the private CUPS server, `default_queue` as the
// default printer and the private X server.
std::vector<std::string> window_env(const test::PrivateCups& cups, const std::string& default_queue,
                                    const test::XServer& x) {
  // The X keymap reader (libxkbcommon-x11) copies counted names with strndup,
  // which AddressSanitizer's strict string checks take for an overflow.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asan_options = std::string(asan ? asan : "") + ":strict_string_checks=0";
  return {cups.env(), "LPDEST=" + default_queue, x.env(), "ASAN_OPTIONS=" + asan_options};
}

// The id of the program's window once it shows; "" when it never does.
std::string find_window(test::XServer& x) {
  int status = -1;
  return x.client("timeout 30 xdotool search --sync --onlyvisible --name '^TARVO Printers ' | head -n 1",
                  &status);
}

// Gives the window the keyboard and lets the grid paint its rows.
void focus(test::XServer& x, const std::string& window) {
  x.client("xdotool windowfocus --sync " + window);
  std::this_thread::sleep_for(700ms);
}

// Presses "i"; the program's result once it has ended, nothing when it did
// not end.
std::optional<test::RunResult> press_i_and_wait(test::XServer& x,
                                                std::future<test::RunResult>& program) {
  x.client("xdotool key --delay 50 i");
  if (program.wait_for(60s) != std::future_status::ready) return std::nullopt;
  return program.get();
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
  const std::vector<std::string> env = window_env(cups, chosen, x);
  auto program = std::async(std::launch::async, [&] { return test::run_tarvousb({file.string()}, dir.path(), env, 90); });

  const std::string window = find_window(x);
  ASSERT_FALSE(window.empty()) << "no window; the program said: " << program.get().err;
  EXPECT_EQ(x.client("xdotool getwindowname " + window),
            "TARVO Printers 7.9702    " + (dir.path() / "relatorio").string());

  focus(x, window);
  int status = -1;
  const std::string shot = std::string(TARVO_BINARY_DIR) + "/chooser-window.png";
  x.client("import -window " + window + " " + shot, &status);
  EXPECT_EQ(status, 0) << "screenshot";

  const std::optional<test::RunResult> ended = press_i_and_wait(x, program);
  ASSERT_TRUE(ended) << "the program did not end after \"i\"";
  const test::RunResult& r = *ended;
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(x.client("xdotool search --name '^TARVO Printers ' | wc -l"), "0");

  const auto jobs = cups.wait_for_jobs(chosen, 1, 30s);
  ASSERT_EQ(jobs.size(), 1u) << r.err;
  EXPECT_TRUE(jobs[0].is_pdf());
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(other).empty());
}

// A DOS-standard file: raw printer data with control sequences, bytes above
// 0x7F, an end-of-file mark in the middle and a form feed, short enough for
// its leading marker to lie in the tail the program searches.
std::string dos_file_for_the_window() {
  std::string file = "=+IMPRESSAO_PADRAO_DO_DOS+=";
  file += "\x1b@\x1b" "E" "NOTA \xc7\xc3O \xe9 \x80\x9f\xff" "\x1b" "F\r\n";
  file += "antes\x1a" "depois\r\n";
  file += "\x1b" "d\x03" "\x0c";
  return file;
}

// The same program with a DOS-standard file: Down moves the current row from
// the default printer to the next one, "i" sends the data there as one raw
// job and the program ends, leaving no temporary file behind.
TEST(ChooserOnX, DosFilePrintedFromTheWindowGoesRawToTheChosenRow) {
  auto& cups = test::PrivateCups::instance();
  const std::string by_default = "chooser_x11_dos_padrao";
  // The printers after the default are listed in name order, and queues of
  // other tests come and go meanwhile: a leading digit keeps this one first.
  const std::string row = "0_chooser_x11_dos_linha";
  cups.add_queue(by_default);
  cups.add_queue(row);
  {
    CupsSpooler spooler;
    ImpTable table;
    fill_printer_table(table, spooler.GETPRINTERS(), by_default);
    ASSERT_GE(table.rows.size(), 2u);
    ASSERT_EQ(trim(table.rows[1].impressora), row) << "the row under the default is another queue";
  }

  test::XServer x;
  test::TempDir dir;
  const std::string content = dos_file_for_the_window();
  ASSERT_LE(content.size(), 201u);
  const auto file = dir.write("dos.txt", content);
  const std::vector<std::string> env = window_env(cups, by_default, x);
  auto program = std::async(std::launch::async, [&] { return test::run_tarvousb({file.string()}, dir.path(), env, 90); });

  const std::string window = find_window(x);
  ASSERT_FALSE(window.empty()) << "no window; the program said: " << program.get().err;
  EXPECT_EQ(x.client("xdotool getwindowname " + window),
            "TARVO Printers 7.9702    " + (dir.path() / "dos").string());

  focus(x, window);
  x.client("xdotool key --delay 50 Down");
  std::this_thread::sleep_for(300ms);
  const std::optional<test::RunResult> ended = press_i_and_wait(x, program);
  ASSERT_TRUE(ended) << "the program did not end after \"i\"";
  const test::RunResult& r = *ended;
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(x.client("xdotool search --name '^TARVO Printers ' | wc -l"), "0");

  const auto jobs = cups.wait_for_jobs(row, 1, 30s);
  ASSERT_EQ(jobs.size(), 1u) << r.err;
  EXPECT_FALSE(jobs[0].is_pdf());
  EXPECT_EQ(jobs[0].bytes(), content.substr(27));
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  cups.wait_idle();
  EXPECT_EQ(cups.jobs(row).size(), 1u);
  EXPECT_TRUE(cups.jobs(by_default).empty());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.path() / "trv.txt")));
}

// A report line of 132 columns at pitch 17 from column 20: wider than a
// portrait A4 sheet, well within a landscape one.
const std::string kWideLine = "INICIO" + std::string(120, '=') + "FINAL!";

std::string wide_report() {
  const auto command = [](std::string_view code) { return test::record({"S", "0", "0", code}); };
  return command("NP") + command("ST") + command("17") + test::record({"N", "2", "20", kWideLine}) +
         test::record({"N", "4", "20", "paisagem"});
}

// The program's window whose title begins with `title` once it shows; ""
// when it does not within ten seconds.
std::string window_named(test::XServer& x, const std::string& title) {
  return x.client("timeout 10 xdotool search --sync --onlyvisible --name '^" + title + "' | head -n 1");
}

// The program started on a print file under a private X server, with
// `queue` as the default printer, and its chooser once it shows.
struct ProgramOnX {
  ProgramOnX(test::PrivateCups& cups, const std::string& queue, const std::string& name, const std::string& content)
      : file(dir.write(name, content)),
        env(window_env(cups, queue, x)),
        program(std::async(std::launch::async,
                           [this] { return test::run_tarvousb({file.string()}, dir.path(), env, 90); })),
        chooser(find_window(x)) {}

  // The program's result once it ends within a minute.
  std::optional<test::RunResult> ended() {
    if (program.wait_for(60s) != std::future_status::ready) return std::nullopt;
    return program.get();
  }

  test::XServer x;
  test::TempDir dir;
  std::filesystem::path file;
  std::vector<std::string> env;
  std::future<test::RunResult> program;
  std::string chooser;  // "" when it never showed
};

// G on the current row prints there across the sheet: one job of landscape
// pages (A4 turned, 841.89 points wide) that asks for orientation 4, the
// 132-column line whole on its page.
TEST(ChooserOnX, GPrintsTheRowsJobOnLandscapeSheets) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "chooser_x11_paisagem";
  cups.add_queue(queue);
  ProgramOnX run(cups, queue, "largo.txt", wide_report());
  ASSERT_FALSE(run.chooser.empty()) << "no window; the program said: " << run.program.get().err;
  focus(run.x, run.chooser);
  run.x.client("xdotool key --delay 50 g");
  const std::optional<test::RunResult> ended = run.ended();
  ASSERT_TRUE(ended) << "the program did not end after \"g\"";
  const test::RunResult& r = *ended;
  EXPECT_EQ(r.exit_code, 0) << r.err;

  const auto jobs = cups.wait_for_jobs(queue, 1, 30s);
  ASSERT_EQ(jobs.size(), 1u) << r.err;
  const std::string info = test::run_command("pdfinfo '" + jobs[0].data.string() + "'");
  EXPECT_NE(info.find("Page size:       841.89 x 595.276 pts"), std::string::npos) << info;
  EXPECT_NE(jobs[0].options.find("orientation-requested=4"), std::string::npos) << jobs[0].options;
  const auto words = test::pdf_words(jobs[0].data);
  const auto line = std::find_if(words.begin(), words.end(), [](const test::Word& w) { return w.text == kWideLine; });
  ASSERT_NE(line, words.end()) << "the 132-column line, whole";
  EXPECT_GT(line->x_min, 0);
  EXPECT_LT(line->x_max, 841.89);
  EXPECT_GT(line->x_max, 595.28) << "a line no portrait sheet holds";
}

// P opens the preview over the chooser, titled as one; nothing reaches the
// queue while it is open; Esc returns to the chooser; P again and Ctrl+P
// print the job once, portrait, and the program ends. A screenshot of the
// preview is left in the build folder.
TEST(ChooserOnX, PPreviewsAndOnlyCtrlPInThePreviewPrints) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "chooser_x11_preview";
  cups.add_queue(queue);
  ProgramOnX run(cups, queue, "relatorio.txt", report_for_the_window());
  ASSERT_FALSE(run.chooser.empty()) << "no window; the program said: " << run.program.get().err;
  test::XServer& x = run.x;
  focus(x, run.chooser);
  x.client("xdotool key --delay 50 p");
  std::string preview = window_named(x, "PreView - TARVO Printers ");
  ASSERT_FALSE(preview.empty()) << "no preview";
  EXPECT_EQ(x.client("xdotool getwindowname " + preview),
            "PreView - TARVO Printers 7.9702    " + (run.dir.path() / "relatorio").string());
  focus(x, preview);
  int status = -1;
  x.client("import -window " + preview + " " + std::string(TARVO_BINARY_DIR) + "/preview-window.png", &status);
  EXPECT_EQ(status, 0) << "screenshot";
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(cups.jobs(queue).empty());
  EXPECT_EQ(test::queued_jobs(queue), "");

  x.client("xdotool key --delay 50 Escape");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(x.client("xdotool search --onlyvisible --name '^PreView - ' | wc -l"), "0");
  EXPECT_NE(run.program.wait_for(0s), std::future_status::ready) << "Esc must return to the chooser";
  focus(x, run.chooser);
  x.client("xdotool key --delay 50 p");
  preview = window_named(x, "PreView - TARVO Printers ");
  ASSERT_FALSE(preview.empty()) << "no second preview";
  focus(x, preview);
  x.client("xdotool key --delay 50 ctrl+p");
  const std::optional<test::RunResult> ended = run.ended();
  ASSERT_TRUE(ended) << "the program did not end after Ctrl+P";
  const test::RunResult& r = *ended;
  EXPECT_EQ(r.exit_code, 0) << r.err;

  const auto jobs = cups.wait_for_jobs(queue, 1, 30s);
  ASSERT_EQ(jobs.size(), 1u) << r.err;
  const std::string info = test::run_command("pdfinfo '" + jobs[0].data.string() + "'");
  EXPECT_NE(info.find("Page size:       595.276 x 841.89 pts"), std::string::npos) << info;
  EXPECT_EQ(jobs[0].options.find("orientation-requested"), std::string::npos) << jobs[0].options;
  cups.wait_idle();
  EXPECT_EQ(cups.jobs(queue).size(), 1u);
}

// A window's place and size on the screen, as xwininfo gives them.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

Box geometry(test::XServer& x, const std::string& window) {
  const auto field = [&](const std::string& name) {
    return std::atoi(x.client("xwininfo -id " + window + " | sed -n 's/^ *" + name + ": *//p'").c_str());
  };
  return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
}

// The whole window, frame included: the client area widened by the frame's
// extents that the window manager publishes (left, right, top, bottom).
Box frame_of(test::XServer& x, const std::string& window) {
  const std::string extents = x.client("xprop -id " + window + " _NET_FRAME_EXTENTS | sed 's/.*= //'");
  int left = 0, right = 0, top = 0, bottom = 0;
  if (std::sscanf(extents.c_str(), "%d, %d, %d, %d", &left, &right, &top, &bottom) != 4) return {};
  const Box client = geometry(x, window);
  return {client.x - left, client.y - top, client.width + left + right, client.height + top + bottom};
}

// The colour of one pixel of a screenshot, as hex digits.
std::string pixel(test::XServer& x, const std::string& shot, int px, int py) {
  return x.client("convert " + shot + " -crop 1x1+" + std::to_string(px) + "+" + std::to_string(py) +
                  " -format '%[hex:u.p{0,0}]' info:");
}

// The program under a window manager, started as a desktop that names
// Wayland without a compositor would start it: it falls back to X. The frame
// is 580 x 450 at 100,100; help shows the topic's position, then its UTF-8
// text in a pop-up at the pointer raised by 20 pixels, which stays until a
// key; the questions answer to N and S. A screenshot of the pop-up is left
// in the build folder.
TEST(ChooserOnX, UnderAWindowManagerTheFrameTheHelpAndTheQuestionsBehave) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "chooser_x11_wm";
  cups.add_queue(queue);
  test::XServer x;
  x.start_window_manager();
  test::TempDir dir;
  const auto file = dir.write("relatorio.txt", report_for_the_window());
  dir.write("tarvousb.prg", "static function Tarvo()\r\n   Configuração: escolha a impressora.\r\nreturn nil\r\n");
  std::vector<std::string> env = window_env(cups, queue, x);
  env.insert(env.end(), {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=sem-compositor",
                         "XDG_RUNTIME_DIR=" + dir.path().string()});
  auto program = std::async(std::launch::async, [&] { return test::run_tarvousb({file.string()}, dir.path(), env, 90); });

  const std::string window = find_window(x);
  ASSERT_FALSE(window.empty()) << "no window; the program said: " << program.get().err;
  Box frame;
  for (int i = 0; i < 50 && (frame = frame_of(x, window)).height != 450; ++i) std::this_thread::sleep_for(100ms);
  EXPECT_EQ(frame.width, 580);
  EXPECT_EQ(frame.height, 450);
  EXPECT_EQ(frame.x, 100);
  EXPECT_EQ(frame.y, 100);

  x.client("xdotool mousemove 400 300");
  focus(x, window);
  x.client("xdotool key alt+a");
  const std::string position = x.client("timeout 10 xdotool search --sync --onlyvisible --name '^ -= TarvoUSB =- $'");
  ASSERT_FALSE(position.empty()) << "no box with the topic's position";
  x.client("xdotool key Return");
  const std::string popup = x.client("timeout 10 xdotool search --sync --onlyvisible --name '^TarvoUSB - Ajuda$'");
  ASSERT_FALSE(popup.empty()) << "no help pop-up";
  const Box at = geometry(x, popup);
  EXPECT_EQ(at.x, 400);
  EXPECT_EQ(at.y, 280);

  // Still there once the window has the focus back, and drawn on top.
  std::this_thread::sleep_for(1s);
  const std::string shot = std::string(TARVO_BINARY_DIR) + "/help-popup.png";
  x.client("import -window root " + shot);
  EXPECT_EQ(pixel(x, shot, at.x + 2, at.y + 2), "FFFFDC") << "tool-tip yellow at the pop-up's corner";
  EXPECT_EQ(pixel(x, shot, at.x + at.width - 3, at.y + at.height - 3), "FFFFDC");
  const std::string dark = x.client("convert " + shot + " -crop " + std::to_string(at.width) + "x" +
                                    std::to_string(at.height) + "+" + std::to_string(at.x) + "+" +
                                    std::to_string(at.y) + " -threshold 50% -format '%[fx:mean<0.97]' info:");
  EXPECT_EQ(dark, "1") << "text in the pop-up";

  x.client("xdotool key x");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(x.client("xdotool search --onlyvisible --name '^TarvoUSB - Ajuda$' | wc -l"), "0");

  x.client("xdotool key Escape");
  ASSERT_FALSE(x.client("timeout 10 xdotool search --sync --onlyvisible --name '^   TARVO Sistemas$'").empty());
  x.client("xdotool key n");
  std::this_thread::sleep_for(500ms);
  EXPECT_NE(program.wait_for(0s), std::future_status::ready) << "N must keep the window open";
  x.client("xdotool key Escape");
  ASSERT_FALSE(x.client("timeout 10 xdotool search --sync --onlyvisible --name '^   TARVO Sistemas$'").empty());
  x.client("xdotool key s");
  ASSERT_EQ(program.wait_for(30s), std::future_status::ready) << "S must close the window";
  const test::RunResult r = program.get();
  EXPECT_EQ(r.exit_code, 0) << r.err;
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());
}

// Unattended, the program keeps to standard error even with a display.
TEST(ChooserOnX, UnattendedRunsShowNothingOnTheDisplay) {
  test::XServer x;
  test::TempDir dir;
  const auto r = test::run_tarvousb({}, dir.path(), {x.env(), "TARVOUSB_UNATTENDED=1"}, 20);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : Nao achou neunhum Arquivo para Imprimir 7.9702\n");
}

}  // namespace
}  // namespace tarvo
