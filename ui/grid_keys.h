#pragma once

#include <functional>

#include "ui/window.h"

namespace tarvo::ui {

// One key press on a grid, as a backend sees it. A backend that hears of
// the key and of the character it types separately (Windows) passes each on
// its own: the key with no character, then the character with no key.
struct KeyPress {
  static constexpr int none = -1;
  bool alt = false;       // Alt held down
  int key = none;         // a code of ui::keys' kind, or none
  int character = 0;      // the character typed, 0 when none
  bool types = false;     // the key types a character (Esc counts as one)
};

// Where a press goes after the grid's callbacks have seen it.
enum class KeyNext {
  accelerators,  // Alt + key: the buttons' accelerators, nothing else
  grid,          // the grid's own handling (moving between rows)
  nowhere,       // consumed
};

// The grid's key rule, the same on every platform: Alt + key belongs to the
// buttons' accelerators and to no callback; otherwise the key-down callback
// hears the key and the character callback the character. A typed key never
// reaches the grid's own handling, whose search by first letter would move
// the row under a hot key. Once the window has ended (a callback may end
// it) no further callback runs and the grid handles nothing.
class GridKeys {
 public:
  GridKeys(std::function<void(int)> on_key_down, std::function<void(int)> on_char,
           std::function<bool()> live);
  KeyNext press(const KeyPress& press) const;

 private:
  std::function<void(int)> on_key_down_;
  std::function<void(int)> on_char_;
  std::function<bool()> live_;
};

}  // namespace tarvo::ui
