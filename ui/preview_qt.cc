#include "ui/preview_qt.h"

#include "ui/preview_view.h"
#include "ui/window_loop_qt.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvo::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

using Zoom = PreviewView::Zoom;

// Grey around the page, in pixels.
constexpr int kMargin = 12;

// A page image as Qt takes it, without copying the pixels.
QImage to_qimage(PageImage page) {
  if (page.width <= 0 || page.height <= 0) return {};
  auto* pixels = new std::vector<std::uint32_t>(std::move(page.pixels));
  return QImage(reinterpret_cast<uchar*>(pixels->data()), page.width, page.height,
                static_cast<qsizetype>(page.width) * 4, QImage::Format_RGB32,
                [](void* held) { delete static_cast<std::vector<std::uint32_t>*>(held); }, pixels);
}

class PreviewMain final : public QMainWindow {
 public:
  std::function<void()> closed;
  std::function<void()> resized;

 protected:
  void closeEvent(QCloseEvent* e) override {
    QMainWindow::closeEvent(e);
    if (closed) closed();
  }
  void resizeEvent(QResizeEvent* e) override {
    QMainWindow::resizeEvent(e);
    if (resized) resized();
  }
};

class QtPreview final : public PreviewWindow, public QObject {
 public:
  explicit QtPreview(const PreviewDesc& desc)
      : desc_(desc), view_(desc.pages ? desc.pages->page_count() : 0), window_(std::make_unique<PreviewMain>()) {
    window_->setWindowTitle(qs(desc.title));
    window_->setWindowModality(Qt::ApplicationModal);
    place(desc.frame);
    window_->closed = [this] { loop_.end(); };
    window_->resized = [this] { refit_later(); };
    build_bar();
    build_view();
  }

  ~QtPreview() override { window_->closed = nullptr; }

  // The first page is drawn once the window has its size.
  void show() override {
    if (loop_.ended()) return;
    window_->showNormal();
    window_->activateWindow();
    show_page();
  }
  void run() override {
    show();
    loop_.wait();
  }
  void end() override {
    if (loop_.end()) window_->close();
  }
  bool ended() const override { return loop_.ended(); }

 protected:
  // Ctrl with the wheel zooms; the wheel alone scrolls.
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Wheel) return QObject::eventFilter(watched, e);
    auto* wheel = static_cast<QWheelEvent*>(e);
    if ((wheel->modifiers() & Qt::ControlModifier) == 0 || view_.count() == 0) return false;
    const int steps = wheel->angleDelta().y() / 120;
    if (steps != 0) zoom_by(PreviewView::wheel_step(steps));
    return true;
  }

 private:
  void place(const Rect& frame) {
    QRect wanted(frame.left, frame.top, frame.width(), frame.height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect room = screen->availableGeometry();
      wanted.setSize(wanted.size().boundedTo(room.size()));
      wanted.moveLeft(std::clamp(wanted.left(), room.left(), room.right() - wanted.width() + 1));
      wanted.moveTop(std::clamp(wanted.top(), room.top(), room.bottom() - wanted.height() + 1));
    }
    window_->move(wanted.topLeft());
    window_->resize(wanted.size());
  }

  QAction* action(const std::string& text, const QList<QKeySequence>& keys, void (QtPreview::*act)()) {
    auto* a = new QAction(qs(text), window_.get());
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(a, &QAction::triggered, window_.get(), [this, act] {
      if (!loop_.ended()) (this->*act)();
    });
    window_->addAction(a);
    return a;
  }

  QAction* zoom_action(const std::string& text, Zoom zoom, QActionGroup* group) {
    auto* a = new QAction(qs(text), group);
    a->setCheckable(true);
    a->setChecked(zoom == view_.zoom());
    QObject::connect(a, &QAction::triggered, window_.get(), [this, zoom] {
      view_.set_zoom(zoom);
      show_page();
    });
    return a;
  }

  void build_bar() {
    const PreviewWords& w = desc_.words;
    auto* bar = new QToolBar(window_.get());
    bar->setObjectName("preview_buttons");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    window_->addToolBar(Qt::TopToolBarArea, bar);

    print_ = action(w.print, {QKeySequence(Qt::CTRL | Qt::Key_P), QKeySequence(Qt::Key_I)}, &QtPreview::print);
    print_->setEnabled(desc_.can_print);
    bar->addAction(print_);
    bar->addAction(action(w.close, {QKeySequence(Qt::Key_Escape)}, &QtPreview::end));
    bar->addSeparator();
    previous_ = action(w.previous, {QKeySequence(Qt::Key_PageUp)}, &QtPreview::previous);
    bar->addAction(previous_);
    counter_ = new QLabel(bar);
    counter_->setObjectName("counter");
    counter_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(counter_);
    next_ = action(w.next, {QKeySequence(Qt::Key_PageDown)}, &QtPreview::next);
    bar->addAction(next_);
    action("", {QKeySequence(Qt::Key_Home)}, &QtPreview::first);
    action("", {QKeySequence(Qt::Key_End)}, &QtPreview::last);
    bar->addSeparator();

    auto* zooms = new QActionGroup(window_.get());
    bar->addAction(zoom_action(w.fit_page, Zoom::fit_page, zooms));
    bar->addAction(zoom_action(w.fit_width, Zoom::fit_width, zooms));
    actual_size_ = zoom_action(w.actual_size, Zoom::actual_size, zooms);
    bar->addAction(actual_size_);
    zoom_label_ = new QLabel(bar);
    zoom_label_->setObjectName("zoom");
    zoom_label_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(zoom_label_);
    zooms_ = zooms;
  }

  void build_view() {
    auto* area = new QWidget(window_.get());
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!desc_.note.empty()) {
      auto* note = new QLabel(qs(desc_.note), area);
      note->setObjectName("note");
      note->setWordWrap(true);
      note->setMargin(6);
      note->setAutoFillBackground(true);
      QPalette p = note->palette();
      p.setColor(QPalette::Window, QColor(255, 248, 200));
      p.setColor(QPalette::WindowText, Qt::black);
      note->setPalette(p);
      layout->addWidget(note);
    }
    scroll_ = new QScrollArea(area);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setWidgetResizable(false);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->installEventFilter(this);
    page_ = new QLabel;
    page_->setObjectName("page");
    page_->setAlignment(Qt::AlignCenter);
    page_->setMargin(kMargin);
    if (view_.count() == 0) {
      QFont big = page_->font();
      big.setPointSizeF(big.pointSizeF() * 2);
      page_->setFont(big);
      page_->setText(qs(desc_.words.nothing_to_print));
    }
    scroll_->setWidget(page_);
    layout->addWidget(scroll_, 1);
    window_->setCentralWidget(area);
    scroll_->setFocus(Qt::OtherFocusReason);
  }

  void print() {
    if (!desc_.can_print) return;
    end();
    if (desc_.on_print) desc_.on_print();
  }
  void previous() { turned(view_.previous()); }
  void next() { turned(view_.next()); }
  void first() { turned(view_.first()); }
  void last() { turned(view_.last()); }

  void turned(bool turned) {
    if (!turned) return;
    show_page();
    scroll_->verticalScrollBar()->setValue(0);
  }

  // 100 %: a point of the sheet as large as a point of the screen.
  double actual_size() const { return window_->logicalDpiX() / 72.0; }

  double pixels_per_point() const {
    const QSize room = scroll_->maximumViewportSize() - QSize(2 * kMargin, 2 * kMargin);
    return view_.pixels_per_point(desc_.pages->page_size(view_.shown()),
                                  {double(room.width()), double(room.height()),
                                   double(scroll_->verticalScrollBar()->sizeHint().width())},
                                  actual_size());
  }

  void zoom_by(double step) {
    view_.zoom_by(step, pixels_per_point(), actual_size());
    if (QAction* checked = zooms_->checkedAction()) checked->setChecked(false);
    show_page();
  }

  void show_page() {
    previous_->setEnabled(view_.has_previous());
    next_->setEnabled(view_.has_next());
    counter_->setText(qs(view_.counter(desc_.words)));
    if (view_.count() == 0) {
      zoom_label_->setText(QString());
      page_->adjustSize();
      return;
    }
    const double ppp = pixels_per_point();
    const qreal ratio = window_->devicePixelRatioF();
    QImage image = kept_.image_of(view_.shown(), ppp * ratio, [this](std::size_t page, double scale) {
      return to_qimage(desc_.pages->render(page, scale));
    });
    image.setDevicePixelRatio(ratio);
    page_->setPixmap(QPixmap::fromImage(image));
    page_->adjustSize();
    zoom_label_->setText(qs(view_.zoom_text(ppp, actual_size())));
  }

  // A window being resized is fitted again once the resizing events are in.
  void refit_later() {
    if (refit_pending_ || !view_.follows_room()) return;
    refit_pending_ = true;
    QTimer::singleShot(0, window_.get(), [this] {
      refit_pending_ = false;
      if (!loop_.ended()) show_page();
    });
  }

  PreviewDesc desc_;
  PreviewView view_;
  bool refit_pending_ = false;
  KeptImages<QImage> kept_;
  WindowLoop loop_;
  std::unique_ptr<PreviewMain> window_;
  QAction* print_ = nullptr;
  QAction* previous_ = nullptr;
  QAction* next_ = nullptr;
  QAction* actual_size_ = nullptr;
  QActionGroup* zooms_ = nullptr;
  QLabel* counter_ = nullptr;
  QLabel* zoom_label_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QLabel* page_ = nullptr;
};

}  // namespace

std::unique_ptr<PreviewWindow> make_qt_preview(const PreviewDesc& desc) {
  return std::make_unique<QtPreview>(desc);
}

}  // namespace tarvo::ui
