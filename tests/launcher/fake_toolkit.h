#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "ui/toolkit.h"
#include "ui/window.h"

namespace tarvo::test {

// A window that records how it was built; run() returns at once, as when
// the user closes the window straight away.
class FakeWindow final : public ui::Window {
 public:
  struct Grid final : ui::Grid {
    int focus_calls = 0;
    void set_focus() override { ++focus_calls; }
  };
  struct Bar final : ui::ToolBar {
    int width = 0, height = 0;
    std::vector<ui::ToolButtonDesc> buttons;
    void add_button(const ui::ToolButtonDesc& b) override { buttons.push_back(b); }
  };

  ui::WindowDesc desc;
  ui::GridDesc grid_desc;
  Grid grid;
  Bar bar;
  ui::StatusBarDesc status;
  std::function<void()> first_show;
  bool shown = false;
  bool is_ended = false;

  ui::Grid& add_grid(const ui::GridDesc& g) override {
    grid_desc = g;
    return grid;
  }
  ui::ToolBar& add_tool_bar(int w, int h) override {
    bar.width = w;
    bar.height = h;
    return bar;
  }
  void set_status_bar(const ui::StatusBarDesc& s) override { status = s; }
  void on_first_show(std::function<void()> f) override { first_show = std::move(f); }
  void show() override {
    if (!shown && first_show) first_show();
    shown = true;
  }
  void run() override {
    show();
    is_ended = true;
  }
  void end() override { is_ended = true; }
  bool ended() const override { return is_ended; }
};

// A preview that the user ends at once: with "Imprimir" when `print` is
// set, else with "Fechar". It draws its first page as it shows.
class FakePreview final : public ui::PreviewWindow {
 public:
  struct Seen {
    ui::PreviewDesc desc;
    std::size_t pages = 0;
    ui::PageImage first_page;
  };
  FakePreview(ui::PreviewDesc desc, bool print, std::vector<Seen>& seen)
      : desc_(std::move(desc)), print_(print), seen_(seen) {}

  void show() override {}
  void run() override {
    Seen s{desc_, desc_.pages->page_count(), {}};
    if (s.pages > 0) s.first_page = desc_.pages->render(0, 1.0);
    seen_.push_back(std::move(s));
    ended_ = true;
    if (print_ && desc_.can_print && desc_.on_print) desc_.on_print();
  }
  void end() override { ended_ = true; }
  bool ended() const override { return ended_; }

 private:
  ui::PreviewDesc desc_;
  bool print_;
  std::vector<Seen>& seen_;
  bool ended_ = false;
};

// A toolkit whose boxes the test answers; it has no display. Its windows are
// FakeWindows and FakePreviews (none when `windows` is false, as without a
// display).
class FakeToolkit final : public ui::Toolkit {
 public:
  ScriptedDialogs boxes;
  bool display = false;
  bool windows = true;
  ui::Dialogs& dialogs() override { return boxes; }
  bool has_display() override { return display; }
  std::unique_ptr<ui::Window> create_window(const ui::WindowDesc& desc) override {
    if (!windows) return nullptr;
    auto w = std::make_unique<FakeWindow>();
    w->desc = desc;
    return w;
  }

  // Whether the previews end with "Imprimir"; what each showed.
  bool print_from_preview = false;
  std::vector<FakePreview::Seen> previews;
  std::unique_ptr<ui::PreviewWindow> create_preview(const ui::PreviewDesc& desc) override {
    if (!windows) return nullptr;
    return std::make_unique<FakePreview>(desc, print_from_preview, previews);
  }
};

}  // namespace tarvo::test
