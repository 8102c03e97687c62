// Opens the preview of a print file as the chooser's P does, on Qt's
// offscreen platform, with the system's printers and page devices: the job
// runs into pages, the window shows the first one and closes. With --walk
// every page is shown in turn first, as a user paging to the end would.
// Prints how long the preview took from the key to its first page shown,
// the number of pages and the process's peak resident memory.
//
//   preview_open [--walk] FILE PRINTER
#include <sys/resource.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "launcher/printer_table.h"
#include "launcher/startup.h"
#include "printing/page_device_cairo.h"
#include "printing/spooler_cups.h"
#include "runtime/file_reading.h"
#include "ui/preview_qt.h"

namespace {

using Clock = std::chrono::steady_clock;

// Boxes on standard error, the preview on Qt.
class BenchToolkit final : public tarvo::ui::Toolkit {
 public:
  tarvo::ui::Dialogs& dialogs() override { return console_; }
  bool has_display() override { return true; }
  std::unique_ptr<tarvo::ui::PreviewWindow> create_preview(const tarvo::ui::PreviewDesc& desc) override {
    pages = desc.pages->page_count();
    return tarvo::ui::make_qt_preview(desc);
  }
  std::size_t pages = 0;

 private:
  tarvo::ui::ConsoleDialogs console_;
};

QWidget* preview_window() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle().startsWith("PreView")) return w;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  bool walk = false;
  int first = 1;
  if (argc > 1 && std::string_view(argv[1]) == "--walk") {
    walk = true;
    first = 2;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: preview_open [--walk] FILE PRINTER\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  tarvo::CupsSpooler spooler;
  tarvo::CairoPageDevices devices;
  BenchToolkit toolkit;
  tarvo::Launcher run(spooler, toolkit);
  run.pages = &devices;
  run.state.W_VERSAO_VAZ = "7.9702";
  run.state.V_ENTER = "\r\n";
  run.state.VARQ_IMPRIMIR = argv[first];
  run.state.V_DADOS_ARQUIVO = tarvo::read_whole_file(argv[first]);
  const std::string printer = argv[first + 1];
  tarvo::CRIA_TMP(run.state);
  run.state.IMP.append(printer, printer);

  const Clock::time_point pressed = Clock::now();
  double open_ms = -1;
  std::function<void()> watch = [&] {
    QWidget* w = preview_window();
    if (w == nullptr) {
      QTimer::singleShot(1, watch);
      return;
    }
    open_ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
    if (!QTest::qWaitForWindowActive(w)) std::fprintf(stderr, "the preview never became active\n");
    for (std::size_t i = 1; walk && i < toolkit.pages; ++i) {
      QTest::keyClick(w, Qt::Key_PageDown);
    }
    QTest::keyClick(w, Qt::Key_Escape);
  };
  QTimer::singleShot(0, watch);
  tarvo::IMPRIMIR(run, "1", printer);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("open_ms=%.0f pages=%zu walked=%s peak_rss_mb=%.1f\n", open_ms, toolkit.pages, walk ? "yes" : "no",
              usage.ru_maxrss / 1024.0);
  return open_ms < 0 ? 1 : 0;
}
