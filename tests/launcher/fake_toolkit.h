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

// A toolkit whose boxes the test answers; it has no display. Its windows are
// FakeWindows (none when `windows` is false, as without a display).
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
};

}  // namespace tarvo::test
