#include "ui/window_qt.h"

#include "ui/grid_keys.h"
#include "ui/window_loop_qt.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>
#include <vector>

// The bitmaps are compiled into this static library; naming their resource
// here keeps the linker from dropping it.
static void init_bitmaps() { Q_INIT_RESOURCE(bitmaps); }

namespace tarvo::ui {
namespace {

QString qs(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont qt_font(const Font& f) {
  QFont font(qs(f.face));
  if (f.pixel_height > 0) font.setPixelSize(f.pixel_height);
  return font;
}

QPixmap bitmap(const std::string& name) { return QPixmap(":/bitmaps/" + qs(name)); }

// The grid's key code: Qt names letter keys by their upper-case codes, so
// Shift does not change them.
int key_code(const QKeyEvent& e) {
  const int k = e.key();
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
  if (k == Qt::Key_Escape) return keys::escape;
  if (k == Qt::Key_Return || k == Qt::Key_Enter) return keys::enter;
  return keys::other;
}

int char_code(const QKeyEvent& e) {
  if (e.key() == Qt::Key_Escape) return keys::escape;
  const QString t = e.text();
  return t.isEmpty() ? 0 : t.at(0).unicode();
}

class TableModel final : public QAbstractTableModel {
 public:
  TableModel(GridTable& table, QString header, QObject* parent)
      : QAbstractTableModel(parent), table_(table), header_(std::move(header)) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.row_count());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return qs(table_.cell_text(static_cast<std::size_t>(index.row())));
  }
  QVariant headerData(int, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return header_;
  }

 private:
  GridTable& table_;
  QString header_;
};

class GridView final : public QTableView {
 public:
  std::unique_ptr<GridKeys> keys;
  bool focus_colour = false;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    KeyPress press;
    press.alt = (e->modifiers() & Qt::AltModifier) != 0;
    press.key = key_code(*e);
    press.character = char_code(*e);
    press.types = e->key() == Qt::Key_Escape || (!e->text().isEmpty() && e->text().at(0).isPrint());
    switch (keys->press(press)) {
      case KeyNext::accelerators:
      case KeyNext::grid:
        QTableView::keyPressEvent(e);
        return;
      case KeyNext::nowhere:
        e->accept();
        return;
    }
  }
  void focusInEvent(QFocusEvent* e) override {
    show_focus(true);
    QTableView::focusInEvent(e);
  }
  void focusOutEvent(QFocusEvent* e) override {
    show_focus(false);
    QTableView::focusOutEvent(e);
  }

 private:
  void show_focus(bool has_focus) {
    if (!focus_colour) return;
    QPalette p = palette();
    const QColor c = has_focus ? QColor(0, 0, 128) : QColor(128, 128, 128);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
      p.setColor(group, QPalette::Highlight, c);
      p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(p);
  }
};

class MainWindow final : public QMainWindow {
 public:
  std::function<void()> closed;
  std::function<void()> first_shown;

  // The size of the whole window, frame included.
  void set_frame_size(QSize size) {
    frame_size_ = size;
    resize(size);
  }

 protected:
  // The window manager frames the window after it is shown; each time the
  // frame's margins change, the client area gives up what the frame takes.
  // A resize by the user leaves the margins alone and stays as it is, and a
  // maximised window is the window manager's to size.
  bool event(QEvent* e) override {
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) fit_frame();
    return handled;
  }
  void closeEvent(QCloseEvent* e) override {
    QMainWindow::closeEvent(e);
    if (closed) closed();
  }
  void showEvent(QShowEvent* e) override {
    QMainWindow::showEvent(e);
    if (first_shown) {
      auto f = std::move(first_shown);
      first_shown = nullptr;
      f();
    }
  }

 private:
  void fit_frame() {
    if ((windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) return;
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (margins == fitted_margins_) return;
    fitted_margins_ = margins;
    resize(frame_size_.shrunkBy(margins));
  }

  QSize frame_size_;
  QMargins fitted_margins_;
};

class QtGrid final : public Grid {
 public:
  explicit QtGrid(GridView* view) : view_(view) {}
  void set_focus() override { view_->setFocus(Qt::OtherFocusReason); }

 private:
  GridView* view_;
};

class QtToolBar final : public ToolBar {
 public:
  QtToolBar(QToolBar* bar, QSize button, bool balloon, std::function<bool()> live)
      : bar_(bar), button_(button), balloon_(balloon), live_(std::move(live)) {}

  void add_button(const ToolButtonDesc& desc) override {
    auto* b = new QToolButton(bar_);  // owned by the bar
    const QPixmap image = bitmap(desc.bitmap);
    b->setIcon(QIcon(image));
    if (!image.isNull()) b->setIconSize(image.size());
    b->setText(qs(desc.caption));  // "&" makes Alt + letter its accelerator
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFixedSize(button_);
    b->setAutoRaise(true);
    b->setStatusTip(qs(desc.message));
    b->setToolTip(tooltip(desc));
    QObject::connect(b, &QToolButton::clicked, [action = desc.action, live = live_] {
      if (action && live()) action();
    });
    bar_->addWidget(b);
  }

 private:
  QString tooltip(const ToolButtonDesc& desc) const {
    const QString text = qs(desc.tooltip).toHtmlEscaped();
    if (!balloon_ || desc.tooltip_title.empty()) return text;
    return "<b>" + qs(desc.tooltip_title).toHtmlEscaped() + "</b><br>" + text;
  }

  QToolBar* bar_;
  QSize button_;
  bool balloon_;
  std::function<bool()> live_;
};

class QtWindow final : public Window {
 public:
  explicit QtWindow(const WindowDesc& desc) : look_(desc.look), window_(std::make_unique<MainWindow>()) {
    window_->setWindowTitle(qs(desc.title));
    window_->move(desc.frame.left, desc.frame.top);
    window_->set_frame_size(QSize(desc.frame.width(), desc.frame.height()));
    window_->closed = [this] { loop_.end(); };
    if (look_.european_numbers) QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
  }

  Grid& add_grid(const GridDesc& desc) override {
    auto* area = new QWidget(window_.get());
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* view = new GridView;
    view->keys = std::make_unique<GridKeys>(desc.on_key_down, desc.on_char, live());
    view->focus_colour = look_.focus_colour;
    view->setFont(qt_font(desc.font));
    view->setModel(new TableModel(*desc.table, qs(desc.header), view));
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(view->font()).height() + 6);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setFont(view->font());
    view->setColumnWidth(0, desc.column_width);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(false);
    // Cut in the middle: the end of a long name tells printers apart and
    // holds the default's mark.
    view->setTextElideMode(Qt::ElideMiddle);
    view->setObjectName("grid");
    set_background(*view, desc.background_bitmap);
    GridTable* table = desc.table;
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged,
                     [table](const QModelIndex& now, const QModelIndex&) {
                       if (now.isValid()) table->move_to_row(static_cast<std::size_t>(now.row()));
                     });
    if (table->row_count() > 0)
      view->setCurrentIndex(view->model()->index(static_cast<int>(table->current_row()), 0));
    layout->addWidget(view, 1);
    if (desc.footer) layout->addWidget(footer(*view));

    window_->setCentralWidget(area);
    grids_.push_back(std::make_unique<QtGrid>(view));
    return *grids_.back();
  }

  ToolBar& add_tool_bar(int button_width, int button_height) override {
    auto* bar = new QToolBar(window_.get());
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setObjectName("buttons");
    window_->addToolBar(Qt::TopToolBarArea, bar);
    bars_.push_back(std::make_unique<QtToolBar>(bar, QSize(button_width, button_height),
                                                look_.balloon_tooltips, live()));
    return *bars_.back();
  }

  void set_status_bar(const StatusBarDesc& desc) override {
    QStatusBar* status = window_->statusBar();
    status->setFont(qt_font(desc.font));
    status->setSizeGripEnabled(false);
    auto* label = new QLabel(qs(desc.text), status);
    label->setObjectName("status");
    label->setFont(status->font());
    label->setAlignment((desc.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    status->addWidget(label, 1);
  }

  void on_first_show(std::function<void()> first_show) override {
    window_->first_shown = std::move(first_show);
  }

  void show() override {
    if (loop_.ended()) return;
    window_->showNormal();
    window_->activateWindow();
  }

  void run() override {
    show();
    loop_.wait();
  }

  void end() override {
    if (loop_.end()) window_->close();
  }

  bool ended() const override { return loop_.ended(); }

 private:
  std::function<bool()> live() {
    return [this] { return !loop_.ended(); };
  }

  static void set_background(QTableView& view, const std::string& name) {
    const QPixmap image = bitmap(name);
    if (image.isNull()) return;
    QPalette p = view.palette();
    p.setBrush(QPalette::Base, QBrush(image));
    view.setPalette(p);
  }

  // An empty row under the column, drawn like the header.
  static QWidget* footer(const QTableView& view) {
    auto* row = new QLabel(" ");
    row->setObjectName("footer");
    row->setFont(view.font());
    row->setFrameShape(QFrame::Panel);
    row->setFrameShadow(QFrame::Raised);
    row->setAutoFillBackground(true);
    row->setBackgroundRole(QPalette::Button);
    row->setFixedHeight(view.horizontalHeader()->sizeHint().height());
    return row;
  }

  WindowLook look_;
  WindowLoop loop_;
  std::vector<std::unique_ptr<QtGrid>> grids_;
  std::vector<std::unique_ptr<QtToolBar>> bars_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace

std::unique_ptr<Window> make_qt_window(const WindowDesc& desc) {
  init_bitmaps();
  return std::make_unique<QtWindow>(desc);
}

}  // namespace tarvo::ui
