#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace tarvo::ui {

// Key codes that a grid's key-down callback receives: a letter comes as its
// upper-case ASCII code whatever the Shift state, a digit as its ASCII digit
// (numeric keypad too), Esc as 27, Enter as 13. Every other key comes as a
// code above 255, so that no function or keypad key can pass for a letter.
namespace keys {
inline constexpr int enter = 13;
inline constexpr int escape = 27;
inline constexpr int other = 0x100;
}  // namespace keys

// A rectangle in screen pixels, given by its edges.
struct Rect {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// A font by face name and character height in pixels; the nearest installed
// face stands in for a missing one.
struct Font {
  std::string face;
  int pixel_height = 0;
};

// The rows of a grid: a one-column table that the caller keeps. The grid
// reads the rows and moves the table's current row as the user moves.
class GridTable {
 public:
  virtual ~GridTable() = default;
  virtual std::size_t row_count() const = 0;
  // The text the row shows (UTF-8).
  virtual std::string cell_text(std::size_t row) const = 0;
  virtual std::size_t current_row() const = 0;
  virtual void move_to_row(std::size_t row) = 0;
};

struct GridDesc {
  GridTable* table = nullptr;
  std::string header;
  bool footer = false;
  Font font;
  int column_width = 0;
  std::string background_bitmap;  // name of a bitmap resource, tiled
  std::function<void(int key)> on_key_down;
  std::function<void(int character)> on_char;
};

class Grid {
 public:
  virtual ~Grid() = default;
  virtual void set_focus() = 0;
};

// A bitmap button of a tool bar: image above the caption; the letter after
// "&" in the caption is its accelerator (Alt + letter).
struct ToolButtonDesc {
  std::string bitmap;
  std::string caption;
  std::string message;        // shown in the status bar while the pointer is on it
  std::string tooltip;
  std::string tooltip_title;
  std::function<void()> action;
};

class ToolBar {
 public:
  virtual ~ToolBar() = default;
  virtual void add_button(const ToolButtonDesc& button) = 0;
};

struct StatusBarDesc {
  std::string text;
  bool centred = false;
  Font font;
};

// How the window environment looks, fixed before any window exists.
struct WindowLook {
  bool balloon_tooltips = false;  // tool-tips show their title above the text
  bool focus_colour = false;      // the input with the focus shows the focus colour
  bool european_numbers = false;  // decimal comma, point between thousands
};

struct WindowDesc {
  std::string title;
  Rect frame;
  WindowLook look;
};

// A framed top-level window: a grid over its client area, a tool bar and a
// status bar. Closing it (its own close control, or end()) ends run().
class Window {
 public:
  virtual ~Window() = default;
  virtual Grid& add_grid(const GridDesc& grid) = 0;
  // The tool bar, on the window that holds the grid; buttons of this size.
  virtual ToolBar& add_tool_bar(int button_width, int button_height) = 0;
  virtual void set_status_bar(const StatusBarDesc& status) = 0;
  // Called once, when the window is first shown.
  virtual void on_first_show(std::function<void()> first_show) = 0;
  // Shows the window normally without waiting.
  virtual void show() = 0;
  // Shows the window and waits in its event loop until it is closed.
  virtual void run() = 0;
  // Closes the window. Input that is still on its way is dropped.
  virtual void end() = 0;
  virtual bool ended() const = 0;
};

}  // namespace tarvo::ui
