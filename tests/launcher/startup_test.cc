#include "launcher/startup.h"

#include <gtest/gtest.h>

#include "launcher/chooser.h"
#include "launcher/printer_table.h"
#include "printing/page_device.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"
#include "tests/engine/print_file.h"
#include "tests/launcher/fake_toolkit.h"
#include "tests/support/fake_printers.h"

namespace tarvo {
namespace {

using test::FakePrinters;

struct Startup : ::testing::Test {
  FakePrinters printers;
  test::FakeToolkit toolkit;
  test::TempDir dir;
  Launcher run{printers, toolkit};

  // A direct-marked file whose one record needs no page object (the launcher
  // here has no page devices).
  std::string direct_file() {
    return dir.write("job.txt", test::record({"S", "0", "0", "EJ"}) + "=+IMPRESSAO_DIRETA+=").string();
  }
  std::vector<std::string> box_texts() const {
    std::vector<std::string> t;
    for (const auto& b : toolkit.boxes.shown) t.push_back(b.text);
    return t;
  }
};

TEST_F(Startup, NoArgumentEndsWithTheMissingFileMessage) {
  MAIN(run, std::nullopt);
  EXPECT_EQ(box_texts(), std::vector<std::string>{"Nao achou neunhum Arquivo para Imprimir 7.9702"});
  EXPECT_EQ(printers.enumerations, 0);
  EXPECT_FALSE(run.outcome.has_value());
  EXPECT_FALSE(run.state.IMP.open);
}

TEST_F(Startup, DirectFileWithTheDefaultInstalledPrintsAtOnce) {
  printers.names = {" Office_Laser ", "Label"};
  printers.default_name = "Office_Laser";
  MAIN(run, direct_file());
  EXPECT_TRUE(box_texts().empty());
  EXPECT_EQ(run.outcome, JobOutcome::done);
  EXPECT_EQ(run.state.VIMPRESSORA, "Office_Laser");
  EXPECT_EQ(run.state.WIMPRESSORAS, (std::vector<std::string>{"Office_Laser", "Label"}));
  EXPECT_EQ(run.state.WFIM, 2u);
  EXPECT_FALSE(run.state.IMP.open);
}

TEST_F(Startup, DefaultNotInstalledWarnsAndOpensTheWindow) {
  printers.names = {"Label"};
  printers.default_name = "Gone";
  MAIN(run, direct_file());
  EXPECT_EQ(box_texts(),
            std::vector<std::string>{"Esta Impressora \"Gone\" NAO está Instalada neste Computador"});
  EXPECT_FALSE(run.outcome.has_value());
  EXPECT_TRUE(run.state.IMP.open);
  EXPECT_EQ(run.state.V_CAMINHO_TEMP, run.state.VARQ_IMPRIMIR);
}

TEST_F(Startup, InstalledCheckIsCaseSensitiveAndMatchesByBeginning) {
  printers.names = {"office_laser"};
  printers.default_name = "Office_Laser";
  MAIN(run, direct_file());
  EXPECT_EQ(box_texts().size(), 1u);

  FakePrinters longer;
  longer.names = {"Office_Laser_2"};
  longer.default_name = "Office_Laser";
  Launcher again(longer, toolkit);
  MAIN(again, direct_file());
  EXPECT_EQ(again.outcome, JobOutcome::done);
}

TEST_F(Startup, NoDefaultOpensTheWindowSilently) {
  printers.names = {"Label"};
  MAIN(run, direct_file());
  EXPECT_TRUE(box_texts().empty());
  EXPECT_FALSE(run.outcome.has_value());
  EXPECT_TRUE(run.state.IMP.open);
  ASSERT_EQ(run.state.IMP.rows.size(), 1u);
}

TEST_F(Startup, UnreadableFileOpensTheWindow) {
  printers.names = {"Label"};
  printers.default_name = "Label";
  MAIN(run, (dir.path() / "missing.txt").string());
  EXPECT_TRUE(box_texts().empty());
  EXPECT_TRUE(run.state.IMP.open);
  EXPECT_EQ(run.state.V_DADOS_ARQUIVO, "");
}

TEST_F(Startup, ArgumentsWithoutExtensionPass) {
  for (const std::string arg : {"JOB", ".TXT", "a"}) {
    Launcher r(printers, toolkit);
    MAIN(r, arg);
    EXPECT_TRUE(r.state.IMP.open) << arg;
  }
  EXPECT_TRUE(box_texts().empty());
}

TEST(PrinterTable, DefaultFirstAndPrefixesLeftOut) {
  ImpTable t;
  fill_printer_table(t, {"Office_Laser", "Label", "Office"}, "Office_Laser");
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[0].nomeimpres, pad_right("Office_Laser  (Imp. PADRÃO) ", 70));
  EXPECT_EQ(t.current_printer(), "Office_Laser");
  EXPECT_EQ(t.rows[1].nomeimpres, pad_right("Label", 70));

  ImpTable none;
  fill_printer_table(none, {"A", "B"}, "");
  EXPECT_EQ(none.rows.size(), 2u);
}

TEST(PrinterTable, LongNamesKeepTheWholePrinterName) {
  ImpTable t;
  const std::string name(90, 'P');
  fill_printer_table(t, {name}, "");
  EXPECT_EQ(t.current_printer(), name);
  EXPECT_EQ(t.rows[0].nomeimpres.size(), 70u);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// Page devices whose printer fails with a runtime error, as a broken
// component of the platform would.
class FailingPageDevices final : public PageDeviceFactory {
 public:
  std::unique_ptr<PageDevice> open(std::string_view) override {
    RuntimeError e;
    e.description = "falha simulada";
    e.operation = "abrir a impressora";
    throw e;
  }
};

TEST_F(Startup, RuntimeErrorInAJobIsReportedAndEndsIt) {
  FailingPageDevices pages;
  run.pages = &pages;
  printers.names = {"Office_Laser"};
  printers.default_name = "Office_Laser";
  MAIN(run, dir.write("job.txt", test::record({"S", "0", "0", "NP"}) + "=+IMPRESSAO_DIRETA+=").string());
  EXPECT_EQ(run.outcome, JobOutcome::failed);
  ASSERT_EQ(box_texts().size(), 1u);
  EXPECT_NE(box_texts()[0].find("falha simulada"), std::string::npos);
  EXPECT_NE(box_texts()[0].find("abrir a impressora"), std::string::npos);
  EXPECT_FALSE(run.state.OPRINTER);
}

// The first button on a ".dbf" path runs the driver without a printer; a
// runtime error there is reported like any other job's.
TEST_F(Startup, RuntimeErrorInTheFirstButtonsDbfJobIsReportedAndEndsIt) {
  FailingPageDevices pages;
  run.pages = &pages;
  run.state.VARQ_IMPRIMIR = "C:\\DADOS\\VENDAS.dbf";
  run.state.V_DADOS_ARQUIVO = test::record({"S", "0", "0", "NP"});
  CRIA_TMP(run.state);
  fill_printer_table(run.state.IMP, {"Office_Laser"}, "Office_Laser");
  const auto chooser = build_chooser_window(run, IMPRIMIR);
  ASSERT_TRUE(chooser);
  auto& window = static_cast<test::FakeWindow&>(*chooser->OWND);
  ASSERT_FALSE(window.bar.buttons.empty());
  window.bar.buttons[0].action();
  EXPECT_EQ(run.outcome, JobOutcome::failed);
  ASSERT_EQ(box_texts().size(), 1u);
  EXPECT_NE(box_texts()[0].find("falha simulada"), std::string::npos);
  EXPECT_FALSE(run.state.OPRINTER);
  EXPECT_TRUE(window.ended());
}

}  // namespace
}  // namespace tarvo
