#pragma once

#include <QEventLoop>

namespace tarvo::ui {

// The event loop a top-level window's run() waits in, and whether the window
// has ended: once ended, a window shows no more and takes no more input.
class WindowLoop {
 public:
  bool ended() const { return ended_; }
  // Waits until the window ends; at once when it already has.
  void wait() {
    if (!ended_) loop_.exec();
  }
  // False when the window had ended before.
  bool end() {
    if (ended_) return false;
    ended_ = true;
    loop_.quit();
    return true;
  }

 private:
  bool ended_ = false;
  QEventLoop loop_;
};

}  // namespace tarvo::ui
