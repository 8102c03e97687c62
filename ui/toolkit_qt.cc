#include "ui/toolkit_qt.h"
#include "ui/window_qt.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTextDocument>
#include <QToolTip>
#include <cstdlib>
#include <cstring>

namespace tarvo::ui {
namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon qt_icon(Icon icon) {
  switch (icon) {
    case Icon::stop: return QMessageBox::Critical;
    case Icon::exclamation: return QMessageBox::Warning;
    case Icon::question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A face and size written "Face, size, , " as the help pop-up names its font.
QFont font_from_text(std::string_view desc) {
  const QStringList parts = qs(desc).split(',');
  QFont font(parts.value(0).trimmed());
  bool ok = false;
  const int size = parts.value(1).trimmed().toInt(&ok);
  if (ok && size > 0) font.setPointSize(size);
  return font;
}

class QtDialogs final : public Dialogs {
 public:
  void message(Icon icon, std::string_view title, std::string_view text) override {
    QMessageBox box(qt_icon(icon), qs(title), qs(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
  }

  bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(default_yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  }

  void tone(int, int) override { QApplication::beep(); }

  void text_popup(std::string_view text, Point at, std::string_view font) override {
    QToolTip::setFont(font_from_text(font));
    // Shown as the plain text it is, lines and blanks kept: a help text
    // with "<" in it must not be read as markup.
    const QString plain = qs(text).remove('\r');
    QToolTip::showText(QPoint(at.x, at.y), Qt::convertFromPlainText(plain, Qt::WhiteSpacePre),
                       QApplication::activeWindow());
  }

  Point pointer_position() override {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
  }
};

bool env_set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

}  // namespace

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
    qt_dialogs_ = std::make_unique<QtDialogs>();
    return true;
  }
  if (tried_) return false;
  tried_ = true;
  const bool explicit_platform = env_set("QT_QPA_PLATFORM");
  if (!explicit_platform && !env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY")) return false;
  // Fall back to the offscreen platform rather than let Qt abort when the
  // display named in the environment cannot be opened.
  if (!explicit_platform) setenv("QT_QPA_PLATFORM", "xcb;wayland;offscreen", 1);
  argv_.clear();
  for (auto& a : args_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
  argc_ = static_cast<int>(args_.size());
  app_ = std::make_unique<QApplication>(argc_, argv_.data());
  // The window's own loop ends the run; Qt must not quit behind it.
  app_->setQuitOnLastWindowClosed(false);
  if (!explicit_platform && QGuiApplication::platformName() == "offscreen") {
    app_.reset();
    return false;
  }
  qt_dialogs_ = std::make_unique<QtDialogs>();
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

std::unique_ptr<Toolkit> make_system_toolkit(int argc, char** argv) {
  return std::make_unique<QtToolkit>(argc, argv);
}

}  // namespace tarvo::ui
