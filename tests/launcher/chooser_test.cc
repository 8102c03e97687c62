#include "launcher/chooser.h"

#include <gtest/gtest.h>

#include "launcher/printer_table.h"
#include "launcher/shown_text.h"
#include "launcher/startup.h"
#include "tests/launcher/fake_toolkit.h"

namespace tarvo {
namespace {

class NoPrinters final : public PrinterService {
 public:
  std::vector<std::string> GETPRINTERS() override { return {"Label"}; }
  std::string GETDEFAULTPRINTER() override { return ""; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override { return 1; }
  RawSendResult send_raw(std::string_view, RawSource&, std::string_view) override { return {}; }
};

TEST(Chooser, WithoutADisplayTheStopBoxSaysSoAndTheRunEnds) {
  NoPrinters printers;
  test::FakeToolkit toolkit;
  toolkit.windows = false;
  test::TempDir dir;
  Launcher run(printers, toolkit);
  MAIN(run, dir.write("job.txt", "sem marcador").string());
  ASSERT_EQ(toolkit.boxes.shown.size(), 1u);
  EXPECT_EQ(toolkit.boxes.shown[0].icon, ui::Icon::stop);
  EXPECT_EQ(toolkit.boxes.shown[0].text, kSemJanela);
  EXPECT_FALSE(run.outcome.has_value());
}

// With a display, only a refused window is said: the screen is there.
TEST(Chooser, ARefusedWindowSaysSoWithoutBlamingTheDisplay) {
  NoPrinters printers;
  test::FakeToolkit toolkit;
  toolkit.display = true;
  toolkit.windows = false;
  test::TempDir dir;
  Launcher run(printers, toolkit);
  MAIN(run, dir.write("job.txt", "sem marcador").string());
  ASSERT_EQ(toolkit.boxes.shown.size(), 1u);
  EXPECT_EQ(toolkit.boxes.shown[0].text, kJanelaRecusada);
  EXPECT_FALSE(run.outcome.has_value());
}

TEST(Chooser, TitleDropsTheLastFourCharactersOfThePath) {
  EXPECT_EQ(chooser_title("7.9702", "C:\\TMP\\JOB.TXT"), "TARVO Printers 7.9702    C:\\TMP\\JOB");
  EXPECT_EQ(chooser_title("7.9702", "JOB"), "TARVO Printers 7.9702    ");
  EXPECT_EQ(chooser_title("7.9702", ""), "TARVO Printers 7.9702    ");
  // A path in the business system's code page still reads right.
  EXPECT_EQ(chooser_title("7.9702", "/tmp/rela\xE7\xE3o.txt"), "TARVO Printers 7.9702    /tmp/relação");
  // Four characters, not four bytes, of a UTF-8 path.
  EXPECT_EQ(chooser_title("7.9702", "/tmp/AÇÃO"), "TARVO Printers 7.9702    /tmp/");
  EXPECT_EQ(chooser_title("7.9702", "/tmp/relatório.é.txt"), "TARVO Printers 7.9702    /tmp/relatório.é");
}

TEST(Chooser, GridTextsAreUtf8EvenWhenTheTableCutAName) {
  EXPECT_EQ(shown_text("Impressão"), "Impressão");
  // "ã" is two bytes; a cut after the first drops it rather than show junk.
  EXPECT_EQ(shown_text(std::string_view("Impress\xC3", 8)), "Impress");
  EXPECT_EQ(shown_text("Impress\xE3o"), "Impressão");

  ImpTable table;
  table.append("X", std::string(69, 'a') + "ã");
  ImpGridTable grid(table, "");
  EXPECT_EQ(grid.cell_text(0), std::string(69, 'a'));
}

// Names past the table's width: the default keeps its mark, and two names
// that differ only after the cut are still told apart.
TEST(Chooser, GridShowsLongNamesWholeWithTheDefaultsMark) {
  const std::string padrao(60, 'P');
  const std::string a = std::string(72, 'x') + "A";
  const std::string b = std::string(72, 'x') + "B";
  ImpTable table;
  fill_printer_table(table, {a, b, "Label"}, padrao);
  ImpGridTable grid(table, padrao);
  EXPECT_EQ(grid.cell_text(0), padrao + "  (Imp. PADRÃO)");
  EXPECT_EQ(grid.cell_text(1), a);
  EXPECT_EQ(grid.cell_text(2), b);
  EXPECT_EQ(grid.cell_text(3), "Label");
}

}  // namespace
}  // namespace tarvo
