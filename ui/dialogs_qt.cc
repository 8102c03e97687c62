#include "ui/dialogs_qt.h"

#include <QApplication>
#include <QCursor>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

namespace tarvo::ui {
namespace {

// Room that a window manager's title bar takes beside the title: the
// window's icon and its buttons.
constexpr int kTitleBarControls = 120;

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

// A box as wide as its title needs: a short text such as "0" would leave the
// title cut in the window manager's title bar.
void widen_for_title(QMessageBox& box) {
  QFont title_font = QApplication::font("QMdiSubWindowTitleBar");
  title_font.setBold(true);
  const int width = QFontMetrics(title_font).horizontalAdvance(box.windowTitle()) + kTitleBarControls;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),  // owned by the layout
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// The text pop-up: a small frameless window of its own in the colours of a
// tool-tip. It takes the keyboard and the mouse while it shows, so that it
// stays when the focus moves, and the first click or key closes it without
// reaching anything else.
class TextPopup final : public QLabel {
 public:
  TextPopup(const QString& text, const QFont& font) : QLabel(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setWindowTitle("TarvoUSB - Ajuda");
    setTextFormat(Qt::PlainText);  // a help text with "<" in it is no markup
    setText(text);
    setFont(font);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    adjustSize();
  }

  // Shows the pop-up with its top left corner at `at`, moved only as far as
  // needed to keep it whole on the screen.
  void show_at(QPoint at) {
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      const QRect area = screen->availableGeometry();
      at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - width())));
      at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - height())));
    }
    move(at);
    show();
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    e->accept();
    close();
  }
  void mousePressEvent(QMouseEvent* e) override {
    e->accept();
    close();
  }
};

class QtDialogs final : public Dialogs {
 public:
  void message(Icon icon, std::string_view title, std::string_view text) override {
    QMessageBox box(qt_icon(icon), qs(title), qs(text), QMessageBox::Ok, QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText("OK");
    widen_for_title(box);
    box.exec();
  }

  // "Sim" and "Não"; S and N answer as well as the buttons.
  bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText("&Sim");
    box.button(QMessageBox::No)->setText("&Não");
    box.setDefaultButton(default_yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    widen_for_title(box);
    return box.exec() == QMessageBox::Yes;
  }

  void tone(int, int) override { QApplication::beep(); }

  void text_popup(std::string_view text, Point at, std::string_view font) override {
    popup_ = std::make_unique<TextPopup>(qs(text).remove('\r'), font_from_text(font));
    popup_->show_at(QPoint(at.x, at.y));
  }

  Point pointer_position() override {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
  }

 private:
  std::unique_ptr<TextPopup> popup_;
};

}  // namespace

std::unique_ptr<Dialogs> make_qt_dialogs() { return std::make_unique<QtDialogs>(); }

}  // namespace tarvo::ui
