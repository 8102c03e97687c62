#include "printing/image_sheet_gdi.h"

#include <algorithm>

namespace tarvo {

GdiImageSheet::GdiImageSheet(int width, int height) : width_(std::max(1, width)), height_(std::max(1, height)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_.reset(CreateCompatibleDC(nullptr));
  void* bits = nullptr;
  bitmap_.reset(dc_ ? CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
  if (!bitmap_ || bits == nullptr) return;
  pixels_ = static_cast<const std::uint32_t*>(bits);
  old_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
  PatBlt(dc_.get(), 0, 0, width_, height_, WHITENESS);
}

GdiImageSheet::~GdiImageSheet() {
  if (old_bitmap_ != nullptr) SelectObject(dc_.get(), old_bitmap_);
}

// 32-bit pixels of GDI are 0x00RRGGBB already.
PageImage GdiImageSheet::image() const {
  PageImage image;
  if (!ok()) return image;
  GdiFlush();
  image.width = width_;
  image.height = height_;
  image.pixels.assign(pixels_, pixels_ + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
  for (std::uint32_t& p : image.pixels) p |= 0xFF000000u;
  return image;
}

}  // namespace tarvo
