#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "tests/support/test_support.h"
#include "ui/preview_qt.h"
#include "ui/toolkit.h"
#include "ui/window_qt.h"

namespace tarvo::test {

// Real Qt windows on the offscreen platform; the test answers the boxes.
class OffscreenToolkit final : public ui::Toolkit {
 public:
  ScriptedDialogs boxes;
  ui::Dialogs& dialogs() override { return boxes; }
  bool has_display() override { return true; }
  std::unique_ptr<ui::Window> create_window(const ui::WindowDesc& desc) override {
    return ui::make_qt_window(desc);
  }
  std::unique_ptr<ui::PreviewWindow> create_preview(const ui::PreviewDesc& desc) override {
    return ui::make_qt_preview(desc);
  }
};

// The visible top-level window whose title begins with `title`, or null.
inline QMainWindow* shown_window(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMainWindow*>(w); m != nullptr && m->isVisible() && m->windowTitle().startsWith(title))
      return m;
  return nullptr;
}

inline QMainWindow* preview_window() { return shown_window("PreView - "); }

// Runs `step` on the preview window once it shows and takes the keyboard,
// from the event loop that waits on it; a preview still open after five
// seconds is closed, so that a fault cannot hang the test.
inline void when_preview_shows(std::function<void(QMainWindow*)> step, int waited_ms = 0) {
  QTimer::singleShot(20, [step = std::move(step), waited_ms]() mutable {
    if (QMainWindow* w = preview_window()) {
      if (!QTest::qWaitForWindowActive(w)) ADD_FAILURE() << "the preview never took the keyboard";
      step(w);
    } else if (waited_ms < 5000) {
      when_preview_shows(std::move(step), waited_ms + 20);
    }
  });
  QTimer::singleShot(5000, [] {
    if (QMainWindow* w = preview_window()) w->close();
  });
}

}  // namespace tarvo::test
