#include "launcher/preview.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "launcher/printer_table.h"
#include "launcher/startup.h"
#include "launcher/system_classes.h"
#include "printing/page_device_cairo.h"
#include "printing/spooler_cups.h"
#include "runtime/text.h"
#include "tests/component/slip_file.h"
#include "tests/engine/print_file.h"
#include "tests/launcher/fake_toolkit.h"
#include "tests/support/page_pixels.h"
#include "tests/support/private_cups.h"

namespace tarvo {
namespace {

using test::PrivateCups;

// A run of the program at the point where the chooser's P runs IMPRIMIR with
// mode "1", on the system's real printers, page devices and slip component.
struct Previewing : ::testing::Test {
  PrivateCups& cups = PrivateCups::instance();
  std::string queue = std::string("preview_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  CupsSpooler spooler;
  CairoPageDevices devices;
  std::unique_ptr<AutomationRegistry> classes = make_system_automation();
  test::FakeToolkit toolkit;
  Launcher run{spooler, toolkit};
  test::TempDir dir;

  void SetUp() override {
    cups.add_queue(queue);
    ::setenv("LPDEST", queue.c_str(), 1);  // slips go to the default printer
    run.pages = &devices;
    run.automation = classes.get();
    run.state.W_VERSAO_VAZ = "7.9702";
    run.state.VARQ_IMPRIMIR = (dir.path() / "job.txt").string();
    run.state.V_ENTER = "\r\n";
    CRIA_TMP(run.state);
    run.state.IMP.append(queue, queue);
  }
  void TearDown() override { ::unsetenv("LPDEST"); }

  // Previews the file and ends the preview with "Imprimir" or "Fechar".
  void preview(const std::string& file, bool print) {
    run.state.V_DADOS_ARQUIVO = file;
    toolkit.print_from_preview = print;
    IMPRIMIR(run, "1", queue);
  }
  std::vector<std::string> box_texts() const {
    std::vector<std::string> t;
    for (const auto& b : toolkit.boxes.shown) t.push_back(b.text);
    return t;
  }
};

// Slips are only shown while previewing: no slip printed, no remittance
// written, no sequence number taken. "Imprimir" then issues each exactly
// once, remittance and all.
TEST_F(Previewing, SlipsAreShownAndPrintingIssuesEachOnce) {
  const auto remessas = dir.path() / "remessas";
  std::filesystem::create_directories(remessas);
  const auto state = dir.path() / "estado";
  ::setenv("XDG_STATE_HOME", state.c_str(), 1);
  ::setenv("TARVOUSB_CONTAS", component::test::bradesco_profile(dir).c_str(), 1);
  const std::string slips = component::test::bradesco_slip_file(2, 100, remessas.string(), "CB.REM");

  preview(slips, false);
  ASSERT_EQ(toolkit.previews.size(), 1u);
  EXPECT_EQ(toolkit.previews[0].pages, 2u);
  EXPECT_TRUE(toolkit.previews[0].desc.can_print);
  EXPECT_FALSE(test::ink_box(test::grey_of(toolkit.previews[0].first_page)).empty());
  EXPECT_FALSE(run.outcome.has_value());
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());
  EXPECT_TRUE(std::filesystem::is_empty(remessas));
  EXPECT_FALSE(std::filesystem::exists(state));

  preview(slips, true);
  EXPECT_EQ(run.outcome, JobOutcome::slips);
  EXPECT_TRUE(box_texts().empty()) << box_texts()[0];
  const auto jobs = cups.wait_for_jobs(queue, 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].title, "Boleto NF 101");
  EXPECT_EQ(jobs[1].title, "Boleto NF 102");
  cups.wait_idle();
  EXPECT_EQ(cups.jobs(queue).size(), 2u);
  // Header, the two slips and the trailer.
  const std::string remittance = test::read_file(remessas / "CB.REM");
  EXPECT_EQ(std::count(remittance.begin(), remittance.end(), '\n'), 4) << remittance;
  ::unsetenv("XDG_STATE_HOME");
  ::unsetenv("TARVOUSB_CONTAS");
}

// A DOS-standard file shows the pages its data draws and says that
// "Imprimir" sends the data unchanged, which it then does.
TEST_F(Previewing, DosFilesShowTheirPagesAndPrintRaw) {
  const std::string file = "=+IMPRESSAO_PADRAO_DO_DOS+=\x1b@NOTA FISCAL\r\nTotal 10,00\r\n\f";
  preview(file, false);
  ASSERT_EQ(toolkit.previews.size(), 1u);
  EXPECT_EQ(toolkit.previews[0].pages, 1u);
  EXPECT_EQ(toolkit.previews[0].desc.note, dos_preview_note(file.size() - 27));
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());

  preview(file, true);
  EXPECT_EQ(run.outcome, JobOutcome::dos);
  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), file.substr(27));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "trv.txt"));
}

// Records that draw nothing show "Nada a imprimir" and cannot be printed; a
// file with nothing to print at all, or no display, says so in a box and
// leaves the chooser as it was.
TEST_F(Previewing, NothingToShowIsSaid) {
  const auto command = [](std::string_view code) { return test::record({"S", "0", "0", code}); };
  preview(command("NP") + command("ST") + command("12"), true);
  ASSERT_EQ(toolkit.previews.size(), 1u);
  EXPECT_EQ(toolkit.previews[0].pages, 0u);
  EXPECT_FALSE(toolkit.previews[0].desc.can_print);
  EXPECT_EQ(toolkit.previews[0].desc.words.nothing_to_print, "Nada a imprimir");
  EXPECT_FALSE(run.outcome.has_value());

  preview("nada aqui", true);
  EXPECT_EQ(toolkit.previews.size(), 1u);
  ASSERT_EQ(box_texts().size(), 1u);
  EXPECT_NE(box_texts()[0].find("Nao Achou o Inicio da Impressao"), std::string::npos);

  toolkit.windows = false;
  preview(command("NP") + command("ST") + test::record({"N", "1", "1", "texto"}), true);
  EXPECT_EQ(box_texts().back(), kSemJanelaPreview);
  toolkit.display = true;
  preview(command("NP") + command("ST") + test::record({"N", "1", "1", "texto"}), true);
  EXPECT_EQ(box_texts().back(), kPreviewRecusada);
  EXPECT_FALSE(run.outcome.has_value());
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());
}

}  // namespace
}  // namespace tarvo
