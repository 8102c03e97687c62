#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace tarvo::ui {

// A page drawn for the screen: rows from the top, each pixel 0xFFRRGGBB.
struct PageImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// A sheet's size as it lies, in points (1/72 inch).
struct PageSize {
  double width = 0;
  double height = 0;
};

// The pages a preview shows, drawn when they are shown. The window keeps only
// the few images it shows or is about to show.
class PreviewPages {
 public:
  virtual ~PreviewPages() = default;
  virtual std::size_t page_count() const = 0;
  virtual PageSize page_size(std::size_t page) const = 0;
  // Page `page` (from 0) drawn at `pixels_per_point` pixels a point.
  virtual PageImage render(std::size_t page, double pixels_per_point) = 0;
};

// The words of a preview window.
struct PreviewWords {
  std::string print;
  std::string close;
  std::string previous;
  std::string next;
  std::string fit_page;
  std::string fit_width;
  std::string actual_size;
  // Shown instead of pages when there are none.
  std::string nothing_to_print;
  // The counter for page `page` (from 1) of `count`.
  std::function<std::string(std::size_t page, std::size_t count)> page_counter;
};

struct PreviewDesc {
  std::string title;
  Rect frame;  // where the window would like to be; it stays on the screen
  PreviewPages* pages = nullptr;
  // A line above the pages (UTF-8); none when empty.
  std::string note;
  PreviewWords words;
  // Whether "Imprimir" can be chosen (there is something to print).
  bool can_print = true;
  // "Imprimir" (its button, Ctrl+P or I): the window has ended when it runs.
  std::function<void()> on_print;
};

// A window that shows a job's pages one at a time, fitted to the window:
// zoom to the whole page, the page's width or its actual size (100 %), and
// Ctrl with the mouse wheel; PgUp and PgDn turn the pages, Home and End go
// to the first and the last, and a counter tells which page shows. It ends
// on "Imprimir", on "Fechar" (or Esc) and on its own close control.
class PreviewWindow {
 public:
  virtual ~PreviewWindow() = default;
  // Shows the window without waiting.
  virtual void show() = 0;
  // Shows the window and waits until it ends.
  virtual void run() = 0;
  virtual void end() = 0;
  virtual bool ended() const = 0;
};

}  // namespace tarvo::ui
