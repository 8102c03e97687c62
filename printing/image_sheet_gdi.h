#pragma once

#include <windows.h>

#include <cstdint>

#include "printing/gdi_objects_win32.h"
#include "printing/page_device.h"

namespace tarvo {

// A white sheet of `width` × `height` pixels in a 32-bit image, with a
// memory context to draw into it: the pages of a preview, printed pages and
// slips alike, drawn by GDI as they would be on paper.
class GdiImageSheet {
 public:
  GdiImageSheet(int width, int height);
  ~GdiImageSheet();
  GdiImageSheet(const GdiImageSheet&) = delete;
  GdiImageSheet& operator=(const GdiImageSheet&) = delete;

  // False when the system could not make the image; dc() then draws nowhere.
  bool ok() const { return pixels_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  // The sheet's pixels as drawn so far.
  PageImage image() const;

 private:
  gdi::Dc dc_;
  gdi::Bitmap bitmap_;
  HGDIOBJ old_bitmap_ = nullptr;
  const std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace tarvo
