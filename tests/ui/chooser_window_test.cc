#include "launcher/chooser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "launcher/printer_table.h"
#include "launcher/startup.h"
#include "tests/engine/print_file.h"
#include "tests/support/fake_printers.h"
#include "tests/support/test_support.h"
#include "tests/ui/offscreen_toolkit.h"
#include "ui/toolkit_qt.h"

namespace tarvo {
namespace {

using test::FakePrinters;
using test::OffscreenToolkit;

struct Print {
  std::string mode;
  std::string printer;
  bool operator==(const Print&) const = default;
};

const std::string kRecords = test::record({"N", "1", "1", "texto"});

QMainWindow* chooser_window() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMainWindow*>(w);
        m != nullptr && m->isVisible() && m->windowTitle().startsWith("TARVO Printers "))
      return m;
  return nullptr;
}

QTableView* grid_of(QMainWindow* w) { return w ? w->findChild<QTableView*>("grid") : nullptr; }

struct ChooserWindow : ::testing::Test {
  FakePrinters printers;
  OffscreenToolkit toolkit;
  std::unique_ptr<Launcher> run;
  std::vector<Print> prints;
  std::unique_ptr<Chooser> chooser;

  void open(const std::vector<std::string>& installed, const std::string& default_printer,
            const std::string& path = "/tmp/relatorio.txt") {
    chooser.reset();
    prints.clear();
    toolkit.boxes.shown.clear();
    run = std::make_unique<Launcher>(printers, toolkit);
    run->state.W_VERSAO_VAZ = "7.9702";
    run->state.VARQ_IMPRIMIR = path;
    run->state.V_DADOS_ARQUIVO = kRecords;
    run->state.V_ENTER = "\r\n";
    run->window_environment = WindowEnvironment{true, true, true};
    CRIA_TMP(run->state);
    run->state.WPADRAO = default_printer;
    fill_printer_table(run->state.IMP, installed, default_printer);
    chooser = build_chooser_window(*run, [this](Launcher& r, std::string_view mode, std::string_view printer) {
      prints.push_back({std::string(mode), std::string(printer)});
      IMPRIMIR(r, mode, printer);
    });
    ASSERT_TRUE(chooser);
    chooser->OWND->show();
    ASSERT_NE(window(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  }
  void open_two() { open({"Office_Laser", "Label"}, "Office_Laser"); }

  QMainWindow* window() { return chooser_window(); }
  QTableView* grid() { return grid_of(window()); }
  std::vector<std::string> rows() {
    std::vector<std::string> out;
    QAbstractItemModel* m = grid()->model();
    for (int r = 0; r < m->rowCount(); ++r) out.push_back(m->index(r, 0).data().toString().toStdString());
    return out;
  }
  void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(grid(), key, mods);
  }
  QToolButton* button(const QString& caption) {
    for (QToolButton* b : window()->findChildren<QToolButton*>())
      if (b->text() == caption) return b;
    return nullptr;
  }
  bool ended() const { return chooser->OWND->ended(); }
  std::vector<std::string> box_texts() const {
    std::vector<std::string> t;
    for (const auto& b : toolkit.boxes.shown) t.push_back(b.text);
    return t;
  }
};

TEST_F(ChooserWindow, DefaultFirstThenTheOthersAndTheBareNameIsPrinted) {
  open_two();
  EXPECT_EQ(rows(), (std::vector<std::string>{"Office_Laser  (Imp. PADRÃO)", "Label"}));
  press(Qt::Key_I);
  EXPECT_EQ(prints, (std::vector<Print>{{"2", "Office_Laser"}}));
  EXPECT_EQ(run->outcome, JobOutcome::done);
  EXPECT_EQ(run->state.job_printer, "Office_Laser");
  EXPECT_TRUE(ended());
  EXPECT_EQ(window(), nullptr);
}

TEST_F(ChooserWindow, APrinterThatBeginsTheDefaultIsLeftOutAndNoDefaultListsAll) {
  open({"Office", "Office_Laser", "Label"}, "Office_Laser");
  EXPECT_EQ(rows(), (std::vector<std::string>{"Office_Laser  (Imp. PADRÃO)", "Label"}));
  open({"Office", "Label"}, "");
  EXPECT_EQ(rows(), (std::vector<std::string>{"Office", "Label"}));
}

TEST_F(ChooserWindow, HotKeysWithAndWithoutShiftPrintTheCurrentRow) {
  const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_I, "2"}, {Qt::Key_G, "4"}};
  for (const auto& [key, mode] : keys) {
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier),
                                             Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
      open_two();
      press(Qt::Key_Down);
      press(key, mods);
      EXPECT_EQ(prints, (std::vector<Print>{{mode, "Label"}})) << mode << " shift " << int(mods);
      EXPECT_TRUE(ended()) << mode;
    }
  }
}

TEST_F(ChooserWindow, OtherKeysOnlyGiveTheGridTheFocus) {
  open_two();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  // Function and keypad keys carry codes that some systems share with
  // letters; here they never reach the hot keys.
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_5, Qt::NoModifier}, {Qt::Key_X, Qt::NoModifier}, {Qt::Key_X, Qt::ShiftModifier},
      {Qt::Key_F4, Qt::NoModifier}, {Qt::Key_9, Qt::KeypadModifier}, {Qt::Key_Return, Qt::NoModifier}};
  for (const auto& [key, mods] : keys) {
    button("&Ajuda")->setFocus();
    press(key, mods);
    EXPECT_EQ(QApplication::focusWidget(), grid()) << key;
  }
  EXPECT_TRUE(prints.empty());
  EXPECT_TRUE(box_texts().empty());
  EXPECT_FALSE(ended());
  EXPECT_EQ(run->state.IMP.current, 0u);
}

TEST_F(ChooserWindow, EscAsksToAbandonAndNoLeavesEverythingAsItWas) {
  open_two();
  press(Qt::Key_Down);
  toolkit.boxes.answers = {false};
  press(Qt::Key_Escape);
  ASSERT_EQ(toolkit.boxes.shown.size(), 1u);
  EXPECT_EQ(toolkit.boxes.shown[0].title, "   TARVO Sistemas");
  EXPECT_EQ(toolkit.boxes.shown[0].text, "Confirma o abandono da Impressão ?     ");
  EXPECT_FALSE(ended());
  EXPECT_EQ(run->state.IMP.current, 1u);

  toolkit.boxes.answers = {true};
  press(Qt::Key_Escape);
  EXPECT_TRUE(ended());
  EXPECT_TRUE(prints.empty());
  EXPECT_FALSE(run->outcome.has_value());
}

TEST_F(ChooserWindow, QuitButtonAndTheSKeyAskBeforeClosing) {
  open_two();
  toolkit.boxes.answers = {false, false};
  button("&Sair")->click();
  press(Qt::Key_S, Qt::ShiftModifier);
  EXPECT_EQ(box_texts(), (std::vector<std::string>(2, "Deseja abandonar a impressão ?     ")));
  EXPECT_FALSE(ended());

  toolkit.boxes.answers = {true};
  press(Qt::Key_S);
  EXPECT_TRUE(ended());
  EXPECT_TRUE(prints.empty());

  open_two();
  toolkit.boxes.answers = {true};
  button("&Sair")->click();
  EXPECT_TRUE(ended());
}

TEST_F(ChooserWindow, DbfPathMakesTheFirstButtonRunTheDriverWithoutAPrinter) {
  open({"Office_Laser"}, "Office_Laser", "C:\\DADOS\\VENDAS.dBf");
  button("&Imprimir")->click();
  EXPECT_TRUE(prints.empty());
  EXPECT_EQ(run->outcome, JobOutcome::done);
  EXPECT_EQ(run->state.job_printer, "");
  EXPECT_TRUE(ended());

  open({"Office_Laser"}, "Office_Laser", "C:\\DADOS\\VENDAS.dBf");
  press(Qt::Key_I);
  EXPECT_EQ(prints, (std::vector<Print>{{"2", "Office_Laser"}}));

  open({"Office_Laser"}, "Office_Laser", "C:\\DADOS\\VENDAS.TXT");
  button("&Imprimir")->click();
  EXPECT_EQ(prints, (std::vector<Print>{{"2", "Office_Laser"}}));
}

TEST_F(ChooserWindow, OtherButtonsPrintWithTheirModes) {
  open_two();
  button("paisa&Gem")->click();
  EXPECT_EQ(prints, (std::vector<Print>{{"4", "Office_Laser"}}));
  EXPECT_TRUE(ended());
  // The job has a text before any new page: the preview says so as a print
  // would, shows nothing to print, and once it is closed the window stays
  // as it was.
  open_two();
  test::when_preview_shows([](QMainWindow* preview) { QTest::keyClick(preview, Qt::Key_Escape); });
  button("&PreView")->click();
  EXPECT_EQ(prints, (std::vector<Print>{{"1", "Office_Laser"}}));
  EXPECT_EQ(box_texts(), std::vector<std::string>{std::string(kSemPagina)});
  EXPECT_FALSE(ended());
  EXPECT_FALSE(run->outcome.has_value());
}

TEST_F(ChooserWindow, AcceleratorLetterClicksItsButton) {
  open_two();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  QTest::keyClick(window(), Qt::Key_G, Qt::AltModifier);
  for (int i = 0; i < 40 && prints.empty(); ++i) QTest::qWait(25);
  EXPECT_EQ(prints, (std::vector<Print>{{"4", "Office_Laser"}}));
}

TEST_F(ChooserWindow, HelpShowsWhereTheTopicIsAndTheWindowStaysOpen) {
  open_two();
  button("&Ajuda")->click();
  EXPECT_EQ(box_texts(), std::vector<std::string>{"0"});
  EXPECT_FALSE(ended());
}

TEST_F(ChooserWindow, TitleIsTheVersionAndThePathWithoutItsLastFourCharacters) {
  open_two();
  EXPECT_EQ(window()->windowTitle().toStdString(), "TARVO Printers 7.9702    /tmp/relatorio");
  open({"Label"}, "", "C:\\TMP\\JOB.TXT");
  EXPECT_EQ(window()->windowTitle().toStdString(), "TARVO Printers 7.9702    C:\\TMP\\JOB");
  open({"Label"}, "", "abc");
  EXPECT_EQ(window()->windowTitle().toStdString(), "TARVO Printers 7.9702    ");
}

TEST_F(ChooserWindow, LaidOutWithItsBitmapsFontsAndTexts) {
  open_two();
  EXPECT_EQ(window()->frameGeometry().size(), QSize(580, 450)) << "the whole frame";
  EXPECT_EQ(grid()->model()->headerData(0, Qt::Horizontal).toString(), "Impressora");
  EXPECT_EQ(grid()->columnWidth(0), 500);
  EXPECT_EQ(grid()->font().pixelSize(), 12);
  EXPECT_FALSE(grid()->palette().base().texture().isNull()) << "PEDRA";
  EXPECT_NE(window()->findChild<QLabel*>("footer"), nullptr);

  std::vector<std::string> captions;
  for (QToolButton* b : window()->findChildren<QToolButton*>()) {
    if (b->text().isEmpty()) continue;  // the bar's own extension button
    captions.push_back(b->text().toStdString());
    EXPECT_EQ(b->size(), QSize(75, 50)) << captions.back();
    EXPECT_FALSE(b->icon().isNull()) << captions.back();
    EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"&Imprimir", "paisa&Gem", "&PreView", "&Ajuda", "&Sair"}));
  EXPECT_EQ(button("&Sair")->statusTip().toStdString(), "Opção para Sair do Tarvo Printerto Excel");
  EXPECT_EQ(button("&Sair")->toolTip().toStdString(),
            "<b>Abandonar Impressão</b><br>Opção para Sair do Tarvo Printers.");

  auto* status = window()->findChild<QLabel*>("status");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text().toStdString(), "Impressoras para Selecionar - rodape");
  EXPECT_TRUE(status->alignment() & Qt::AlignLeft);
  EXPECT_EQ(status->font().pixelSize(), 12);
}

TEST_F(ChooserWindow, PointerOnAButtonShowsItsMessageInTheStatusBar) {
  open_two();
  QToolButton* preview = button("&PreView");
  QTest::mouseMove(preview);
  for (int i = 0; i < 40 && window()->statusBar()->currentMessage().isEmpty(); ++i) QTest::qWait(25);
  EXPECT_EQ(window()->statusBar()->currentMessage().toStdString(),
            "Módulo para Visualizar o Arquivo a ser Impresso.");
}

// A name longer than the table's 70 characters is shown and printed whole;
// the grid cuts what does not fit in the middle, so the default's mark and
// the end of each name stay in sight.
TEST_F(ChooserWindow, LongPrinterNamesKeepTheirEndsAndTheDefaultsMark) {
  const std::string name = "Impressora_da_Sala_de_Reunioes_do_Segundo_Andar_Predio_Administrativo_Norte";
  const std::string other = name.substr(0, name.size() - 5) + "_Sul";
  ASSERT_GT(other.size(), 70u);
  open({name, other}, name);
  EXPECT_EQ(rows(), (std::vector<std::string>{name + "  (Imp. PADRÃO)", other}));
  EXPECT_EQ(grid()->textElideMode(), Qt::ElideMiddle);
  press(Qt::Key_I);
  EXPECT_EQ(prints, (std::vector<Print>{{"2", name}}));
}

QLabel* visible_popup() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* l = qobject_cast<QLabel*>(w); l != nullptr && l->isVisible()) return l;
  return nullptr;
}

// The pop-up's own window, at the point it is given; it stays while the
// focus moves and closes at the first key or click.
TEST(HelpPopup, ShowsItsPlainTextAtThePointUntilAKeyOrAClick) {
  ui::QtToolkit toolkit(0, nullptr);
  QWidget other;
  other.show();
  for (const bool by_key : {true, false}) {
    toolkit.dialogs().text_popup("static function Tarvo\r\n   if a < b\r\nreturn .T.", {200, 150},
                                 "Tahoma, 8, , ");
    QLabel* shown = visible_popup();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    EXPECT_EQ(shown->pos(), QPoint(200, 150));
    EXPECT_EQ(shown->text().toStdString(), "static function Tarvo\n   if a < b\nreturn .T.");
    EXPECT_EQ(shown->textFormat(), Qt::PlainText);
    EXPECT_EQ(shown->font().pointSize(), 8);
    EXPECT_TRUE(shown->windowFlags() & Qt::FramelessWindowHint);
    other.activateWindow();
    QTest::qWait(50);
    EXPECT_TRUE(shown->isVisible());
    if (by_key)
      QTest::keyClick(shown, Qt::Key_X);
    else
      QTest::mouseClick(shown, Qt::LeftButton);
    EXPECT_EQ(visible_popup(), nullptr) << (by_key ? "key" : "click");
  }
}

// Runs `box` and, once its box is up, hands the box to `answer`.
template <typename Box, typename Answer>
auto with_box(Box box, Answer answer) {
  QTimer::singleShot(0, [answer] {
    auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr);
    answer(*shown);
  });
  return box();
}

std::vector<std::string> button_texts(const QMessageBox& box) {
  std::vector<std::string> texts;
  for (QAbstractButton* b : box.buttons()) texts.push_back(b->text().toStdString());
  std::sort(texts.begin(), texts.end());
  return texts;
}

// Portuguese buttons; S and N answer whatever the default; a box is wide
// enough for its title beside the title bar's controls.
TEST(QtBoxes, SpeakPortugueseAndFitTheirTitles) {
  ui::QtToolkit toolkit(0, nullptr);
  ui::Dialogs& dialogs = toolkit.dialogs();
  const auto ask = [&dialogs](bool default_yes) {
    return [&dialogs, default_yes] { return dialogs.ask_yes_no("   TARVO Sistemas", "Pergunta ?     ", default_yes); };
  };
  EXPECT_TRUE(with_box(ask(false), [](QMessageBox& box) {
    EXPECT_EQ(button_texts(box), (std::vector<std::string>{"&Não", "&Sim"}));
    QTest::keyClick(&box, Qt::Key_S);
  }));
  EXPECT_FALSE(with_box(ask(true), [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_N); }));

  with_box(
      [&dialogs] {
        dialogs.message(ui::Icon::stop, " -= TarvoUSB =- ", "0");
        return 0;
      },
      [](QMessageBox& box) {
        EXPECT_EQ(button_texts(box), std::vector<std::string>{"OK"});
        QFont title = QApplication::font("QMdiSubWindowTitleBar");
        title.setBold(true);
        EXPECT_GE(box.width(), QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 100);
        box.accept();
      });
}

// The whole window path of a run: MAIN opens the window and returns once a
// key has run the job, or once the window is closed.
struct ChooserRun : ::testing::Test {
  FakePrinters printers;
  OffscreenToolkit toolkit;
  Launcher run{printers, toolkit};
  test::TempDir dir;

  void SetUp() override {
    printers.names = {"Office_Laser", "Label"};
    printers.default_name = "Office_Laser";
  }
  // Runs `step` once the window is up; a window still open after five
  // seconds is closed so that a fault cannot hang the test.
  void main_with(std::function<void(QMainWindow*)> step) {
    QTimer::singleShot(0, [step] { step(chooser_window()); });
    QTimer::singleShot(5000, [] {
      if (QMainWindow* w = chooser_window()) w->close();
    });
    MAIN(run, dir.write("job.txt", kRecords).string());
  }
};

TEST_F(ChooserRun, APrintKeyRunsTheJobAndTheRunEnds) {
  main_with([](QMainWindow* w) { QTest::keyClick(grid_of(w), Qt::Key_I); });
  EXPECT_EQ(run.outcome, JobOutcome::done);
  EXPECT_EQ(run.state.job_printer, "Office_Laser");
  EXPECT_EQ(chooser_window(), nullptr);
}

TEST_F(ChooserRun, TheWindowsOwnCloseControlEndsTheRunWithoutAQuestion) {
  main_with([](QMainWindow* w) { w->close(); });
  EXPECT_FALSE(run.outcome.has_value());
  EXPECT_TRUE(toolkit.boxes.shown.empty());
  EXPECT_EQ(chooser_window(), nullptr);
}

}  // namespace
}  // namespace tarvo
