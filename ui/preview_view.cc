#include "ui/preview_view.h"

#include <algorithm>

namespace tarvo::ui {

bool PreviewView::turn_to(std::size_t page) {
  if (count_ == 0) return false;
  page = std::min(page, count_ - 1);
  if (page == shown_) return false;
  shown_ = page;
  return true;
}

double PreviewView::pixels_per_point(PageSize size, Room room, double actual) const {
  double ppp = actual;
  if (size.width > 0 && size.height > 0) {
    switch (zoom_) {
      case Zoom::fit_page: ppp = std::min(room.width / size.width, room.height / size.height); break;
      case Zoom::fit_width: ppp = (room.width - room.scroll_bar) / size.width; break;
      case Zoom::actual_size: break;
      case Zoom::chosen: ppp = actual * factor_; break;
    }
  }
  return std::clamp(ppp, actual * kLeastZoom, actual * kMostZoom);
}

void PreviewView::zoom_by(double step, double shown_pixels_per_point, double actual) {
  factor_ = std::clamp(shown_pixels_per_point / actual * step, kLeastZoom, kMostZoom);
  zoom_ = Zoom::chosen;
}

std::string PreviewView::counter(const PreviewWords& words) const {
  if (count_ == 0 || !words.page_counter) return {};
  return words.page_counter(shown_ + 1, count_);
}

std::string PreviewView::zoom_text(double pixels_per_point, double actual) const {
  if (count_ == 0) return {};
  return std::to_string(std::lround(pixels_per_point / actual * 100)) + " %";
}

}  // namespace tarvo::ui
