#include "ui/toolkit_qt.h"

#include <QApplication>
#include <cstdlib>

#include "ui/dialogs_qt.h"
#include "ui/preview_qt.h"
#include "ui/qt_platform.h"
#include "ui/window_qt.h"

namespace tarvo::ui {

QtToolkit::QtToolkit(int argc, char** argv) {
  for (int i = 0; i < argc && i < 1; ++i) args_.emplace_back(argv[i]);
  if (args_.empty()) args_.emplace_back("tarvousb");
}

QtToolkit::~QtToolkit() {
  qt_dialogs_.reset();
  app_.reset();
}

bool QtToolkit::ensure_started() {
  if (app_) return true;
  if (QApplication::instance() != nullptr) {
    // A host (the window tests) already runs Qt: use it.
    qt_dialogs_ = make_qt_dialogs();
    return true;
  }
  if (tried_) return false;
  tried_ = true;
  if (unattended_run()) return false;
  const std::string platform = usable_qt_platform();
  if (platform.empty()) return false;
  // Qt gets the one platform that was found to work, not a list it might
  // walk to a failure of its own.
  ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  argv_.clear();
  for (auto& a : args_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
  argc_ = static_cast<int>(args_.size());
  app_ = std::make_unique<QApplication>(argc_, argv_.data());
  // The window's own loop ends the run; Qt must not quit behind it.
  app_->setQuitOnLastWindowClosed(false);
  qt_dialogs_ = make_qt_dialogs();
  return true;
}

Dialogs& QtToolkit::dialogs() {
  if (ensure_started()) return *qt_dialogs_;
  return console_;
}

bool QtToolkit::has_display() { return ensure_started(); }

std::unique_ptr<Window> QtToolkit::create_window(const WindowDesc& desc) {
  if (!ensure_started()) return nullptr;
  return make_qt_window(desc);
}

std::unique_ptr<PreviewWindow> QtToolkit::create_preview(const PreviewDesc& desc) {
  if (!ensure_started()) return nullptr;
  return make_qt_preview(desc);
}

std::unique_ptr<Toolkit> make_system_toolkit(int argc, char** argv) {
  return std::make_unique<QtToolkit>(argc, argv);
}

}  // namespace tarvo::ui
