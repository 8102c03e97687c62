#include "ui/preview_qt.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "launcher/chooser.h"
#include "launcher/preview.h"
#include "launcher/printer_table.h"
#include "launcher/startup.h"
#include "printing/page_device_cairo.h"
#include "tests/engine/print_file.h"
#include "tests/support/fake_printers.h"
#include "tests/support/pdf_text.h"
#include "tests/support/private_cups.h"
#include "tests/ui/offscreen_toolkit.h"

namespace tarvo {
namespace {

// A job of A4 pages drawn white; the test sees which were drawn, in order.
class CountedPages final : public ui::PreviewPages {
 public:
  explicit CountedPages(std::size_t count) : count_(count) {}
  std::vector<std::size_t> drawn;

  std::size_t page_count() const override { return count_; }
  ui::PageSize page_size(std::size_t) const override { return {595.28, 841.89}; }
  ui::PageImage render(std::size_t page, double pixels_per_point) override {
    drawn.push_back(page);
    const int w = int(std::ceil(595.28 * pixels_per_point));
    const int h = int(std::ceil(841.89 * pixels_per_point));
    return {w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h), 0xFFFFFFFFu)};
  }

 private:
  std::size_t count_;
};

struct PreviewWindow : ::testing::Test {
  std::unique_ptr<CountedPages> pages;
  std::unique_ptr<ui::PreviewWindow> window;
  int prints = 0;

  void open(std::size_t count, std::string note = "") {
    window.reset();
    prints = 0;
    pages = std::make_unique<CountedPages>(count);
    ui::PreviewDesc desc;
    desc.title = preview_title("7.9702", "/tmp/relatorio.txt");
    desc.frame = {40, 100, 940, 900};
    desc.pages = pages.get();
    desc.note = std::move(note);
    desc.words = preview_words();
    desc.can_print = count > 0;
    desc.on_print = [this] { ++prints; };
    window = ui::make_qt_preview(desc);
    window->show();
    ASSERT_NE(shown(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(shown()));
  }

  QMainWindow* shown() { return test::preview_window(); }
  void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(shown(), key, mods); }
  std::string label(const char* name) { return shown()->findChild<QLabel*>(name)->text().toStdString(); }
  QLabel* page() { return shown()->findChild<QLabel*>("page"); }
  QScrollArea* scroller() { return shown()->findChild<QScrollArea*>(); }
  QAction* action(const char* text) {
    for (QAction* a : shown()->findChildren<QAction*>())
      if (a->text() == QString::fromUtf8(text)) return a;
    return nullptr;
  }
  // The shown page's width on the screen.
  int shown_width() { return int(std::lround(page()->pixmap().deviceIndependentSize().width())); }
  void wheel(int steps) {
    QWidget* viewport = scroller()->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent e(at, viewport->mapToGlobal(at), {}, {0, 120 * steps}, Qt::NoButton, Qt::ControlModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &e);
  }
};

TEST_F(PreviewWindow, KeysTurnThePagesAndTheCounterFollows) {
  open(12);
  EXPECT_EQ(shown()->windowTitle().toStdString(), "PreView - TARVO Printers 7.9702    /tmp/relatorio");
  EXPECT_EQ(label("counter"), "Página 1 de 12");
  EXPECT_FALSE(action("Anterior")->isEnabled());
  press(Qt::Key_PageUp);
  EXPECT_EQ(label("counter"), "Página 1 de 12");
  press(Qt::Key_PageDown);
  press(Qt::Key_PageDown);
  EXPECT_EQ(label("counter"), "Página 3 de 12");
  EXPECT_TRUE(action("Anterior")->isEnabled());
  press(Qt::Key_End);
  EXPECT_EQ(label("counter"), "Página 12 de 12");
  EXPECT_FALSE(action("Próxima")->isEnabled());
  press(Qt::Key_PageDown);
  EXPECT_EQ(label("counter"), "Página 12 de 12");
  press(Qt::Key_PageUp);
  EXPECT_EQ(label("counter"), "Página 11 de 12");
  press(Qt::Key_Home);
  EXPECT_EQ(label("counter"), "Página 1 de 12");
  EXPECT_FALSE(window->ended());
  EXPECT_EQ(prints, 0);
}

// Pages are drawn when shown, and only the last few are kept: turning back
// one page draws nothing, going back to the first draws it again.
TEST_F(PreviewWindow, DrawsPagesWhenShownAndKeepsOnlyAFew) {
  open(1000);
  EXPECT_EQ(pages->drawn, std::vector<std::size_t>{0});
  for (int i = 0; i < 5; ++i) press(Qt::Key_PageDown);
  press(Qt::Key_PageUp);
  EXPECT_EQ(pages->drawn, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
  press(Qt::Key_End);
  press(Qt::Key_Home);
  EXPECT_EQ(pages->drawn, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 999, 0}));
}

TEST_F(PreviewWindow, FitsThePageOrItsWidthShowsItsActualSizeAndZoomsWithTheWheel) {
  open(2);
  const QSize room = scroller()->maximumViewportSize();
  EXPECT_LE(page()->pixmap().deviceIndependentSize().height(), room.height());
  EXPECT_LE(shown_width(), room.width());
  EXPECT_EQ(label("zoom"), std::to_string(std::lround(shown_width() / (595.28 * shown()->logicalDpiX() / 72) * 100)) + " %");

  action("Largura da página")->trigger();
  EXPECT_GT(shown_width(), room.width() - 2 * 12 - 40);
  EXPECT_LE(shown_width(), room.width());

  action("100 %")->trigger();
  const int actual = int(std::ceil(595.28 * shown()->logicalDpiX() / 72));
  EXPECT_NEAR(shown_width(), actual, 1);
  EXPECT_EQ(label("zoom"), "100 %");
  wheel(1);
  EXPECT_EQ(label("zoom"), "125 %");
  EXPECT_NEAR(shown_width(), actual * 1.25, 2);
  wheel(-2);
  EXPECT_EQ(label("zoom"), "80 %");
  for (int i = 0; i < 30; ++i) wheel(1);
  EXPECT_EQ(label("zoom"), "400 %");
  EXPECT_EQ(label("counter"), "Página 1 de 2");  // zooming turns no page
}

TEST_F(PreviewWindow, CtrlPOrIPrintsAndEscClosesWithoutPrinting) {
  for (const auto& [key, mods] : {std::pair{Qt::Key_P, Qt::KeyboardModifiers(Qt::ControlModifier)},
                                  std::pair{Qt::Key_I, Qt::KeyboardModifiers(Qt::NoModifier)}}) {
    open(3);
    press(key, mods);
    EXPECT_EQ(prints, 1) << key;
    EXPECT_TRUE(window->ended());
    EXPECT_EQ(shown(), nullptr);
  }
  open(3);
  press(Qt::Key_Escape);
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(window->ended());

  open(3);
  shown()->close();  // the window's own close control
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(window->ended());
}

TEST_F(PreviewWindow, NothingToPrintIsSaidAndCannotBePrinted) {
  open(0);
  EXPECT_EQ(page()->text().toStdString(), "Nada a imprimir");
  EXPECT_EQ(label("counter"), "");
  EXPECT_FALSE(action("Imprimir")->isEnabled());
  press(Qt::Key_I);
  press(Qt::Key_P, Qt::ControlModifier);
  press(Qt::Key_PageDown);
  EXPECT_EQ(prints, 0);
  EXPECT_FALSE(window->ended());
  EXPECT_TRUE(pages->drawn.empty());

  open(1, "Arquivo no padrão DOS");
  EXPECT_EQ(label("note"), "Arquivo no padrão DOS");
}

// ---- from the chooser, with the job's real pages --------------------------

std::string command(std::string_view code) { return test::record({"S", "0", "0", code}); }

QTableView* chooser_grid() {
  QMainWindow* chooser = test::shown_window("TARVO Printers ");
  return chooser ? chooser->findChild<QTableView*>("grid") : nullptr;
}

// P on the chooser previews the job on the current row's printer: nothing
// is sent while the preview is open, Esc returns to the chooser, and
// Ctrl+P in a second preview prints the job once, in portrait.
TEST(PreviewFromTheChooser, SendsNothingUntilImprimirThenPrintsOnce) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "preview_window_row";
  cups.add_queue(queue);
  test::FakePrinters printers;
  test::OffscreenToolkit toolkit;
  CairoPageDevices devices;
  Launcher run(printers, toolkit);
  run.pages = &devices;
  run.state.W_VERSAO_VAZ = "7.9702";
  run.state.VARQ_IMPRIMIR = "/tmp/relatorio.txt";
  run.state.V_ENTER = "\r\n";
  run.state.V_DADOS_ARQUIVO = command("NP") + command("ST") + test::record({"N", "1", "1", "primeira"}) +
                              command("EP") + test::record({"N", "1", "1", "segunda"});
  CRIA_TMP(run.state);
  fill_printer_table(run.state.IMP, {"Outra", queue}, "Outra");
  const auto chooser = build_chooser_window(run, IMPRIMIR);
  ASSERT_TRUE(chooser);
  chooser->OWND->show();
  QTableView* grid = chooser_grid();
  ASSERT_NE(grid, nullptr);
  QTest::keyClick(grid, Qt::Key_Down);

  std::string counter;
  std::size_t jobs_while_open = 99;
  test::when_preview_shows([&](QMainWindow* preview) {
    counter = preview->findChild<QLabel*>("counter")->text().toStdString();
    QTest::qWait(300);
    jobs_while_open = cups.jobs(queue).size();
    QTest::keyClick(preview, Qt::Key_Escape);
  });
  QTest::keyClick(grid, Qt::Key_P);
  EXPECT_EQ(counter, "Página 1 de 2");
  EXPECT_EQ(jobs_while_open, 0u);
  EXPECT_FALSE(chooser->OWND->ended());
  EXPECT_FALSE(run.outcome.has_value());
  EXPECT_TRUE(toolkit.boxes.shown.empty());

  test::when_preview_shows([](QMainWindow* preview) { QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier); });
  QTest::keyClick(grid, Qt::Key_P);
  EXPECT_EQ(run.outcome, JobOutcome::done);
  EXPECT_TRUE(chooser->OWND->ended());
  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(test::pdf_pages(jobs[0].data), 2);
  EXPECT_EQ(jobs[0].options.find("orientation-requested"), std::string::npos) << jobs[0].options;
  cups.wait_idle();
  EXPECT_EQ(cups.jobs(queue).size(), 1u);
  EXPECT_TRUE(cups.jobs("Outra").empty());
}

}  // namespace
}  // namespace tarvo
