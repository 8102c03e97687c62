#pragma once

#include <cmath>
#include <cstddef>
#include <list>
#include <string>
#include <utility>

#include "ui/preview.h"

namespace tarvo::ui {

// How a preview window shows its pages, whatever draws them: which page
// shows, and at what scale.
class PreviewView {
 public:
  enum class Zoom { fit_page, fit_width, actual_size, chosen };

  // The room the page is shown in, in pixels, grey margins already taken
  // out; a page fitted to its width leaves room for a vertical scroll bar.
  struct Room {
    double width = 0;
    double height = 0;
    double scroll_bar = 0;
  };

  explicit PreviewView(std::size_t count) : count_(count) {}

  std::size_t count() const { return count_; }
  std::size_t shown() const { return shown_; }
  bool has_previous() const { return count_ > 0 && shown_ > 0; }
  bool has_next() const { return count_ > 0 && shown_ + 1 < count_; }

  // Each is false when the page shown stays the same.
  bool turn_to(std::size_t page);
  bool previous() { return turn_to(shown_ > 0 ? shown_ - 1 : 0); }
  bool next() { return turn_to(shown_ + 1); }
  bool first() { return turn_to(0); }
  bool last() { return turn_to(count_ > 0 ? count_ - 1 : 0); }

  Zoom zoom() const { return zoom_; }
  void set_zoom(Zoom zoom) { zoom_ = zoom; }
  // Whether a new size of the room changes the scale.
  bool follows_room() const { return zoom_ == Zoom::fit_page || zoom_ == Zoom::fit_width; }

  // Pixels per point for a page of `size`; `actual` is the screen's own
  // (100 %: a point of the sheet as large as a point of the screen).
  double pixels_per_point(PageSize size, Room room, double actual) const;
  // The wheel's zoom: `step` times the scale shown now.
  void zoom_by(double step, double shown_pixels_per_point, double actual);
  // Each wheel notch is a quarter more or less.
  static double wheel_step(int notches) { return std::pow(kWheelStep, notches); }

  // "Página 1 de 12" and such, and "100 %"; nothing without pages.
  std::string counter(const PreviewWords& words) const;
  std::string zoom_text(double pixels_per_point, double actual) const;

 private:
  static constexpr double kWheelStep = 1.25;
  static constexpr double kLeastZoom = 0.1;  // a tenth of the actual size
  static constexpr double kMostZoom = 4.0;   // to four times it

  std::size_t count_;
  std::size_t shown_ = 0;
  Zoom zoom_ = Zoom::fit_page;
  double factor_ = 1.0;
};

// The page images a window keeps: the one shown and the last ones turned
// from, by page and scale; the pages are drawn only when shown.
template <class Image>
class KeptImages {
 public:
  // The image of `page` at `pixels_per_point`, made by `make(page, scale)`
  // when it is not kept.
  template <class Make>
  const Image& image_of(std::size_t page, double pixels_per_point, Make&& make) {
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->page == page && std::fabs(it->pixels_per_point - pixels_per_point) < 1e-9) {
        kept_.splice(kept_.begin(), kept_, it);
        return kept_.front().image;
      }
    }
    kept_.push_front({page, pixels_per_point, make(page, pixels_per_point)});
    if (kept_.size() > kKept) kept_.pop_back();
    return kept_.front().image;
  }

 private:
  static constexpr std::size_t kKept = 3;
  struct Kept {
    std::size_t page;
    double pixels_per_point;
    Image image;
  };
  std::list<Kept> kept_;
};

}  // namespace tarvo::ui
