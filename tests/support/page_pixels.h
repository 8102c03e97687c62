#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "printing/page_device.h"
#include "tests/support/pdf_text.h"

namespace tarvo::test {

// A page in grey levels (0 black, 255 white), row by row.
struct GreyPage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;
  bool inked(int x, int y) const { return grey[std::size_t(y) * std::size_t(width) + std::size_t(x)] < 128; }
};

// A page drawn by the program (PageImage, or the window's ui::PageImage).
template <class Image>
GreyPage grey_of(const Image& image) {
  GreyPage page{image.width, image.height, {}};
  page.grey.reserve(image.pixels.size());
  for (const std::uint32_t p : image.pixels)
    page.grey.push_back(std::uint8_t(((p >> 16 & 0xFF) * 30 + (p >> 8 & 0xFF) * 59 + (p & 0xFF) * 11) / 100));
  return page;
}

// The first page of `pdf` as pdftoppm draws it at `dpi`.
inline GreyPage rasterised(const std::filesystem::path& pdf, int dpi) {
  const std::string out = pdf.string() + ".pgm";
  run_command("pdftoppm -gray -singlefile -r " + std::to_string(dpi) + " '" + pdf.string() + "' > '" + out + "'");
  std::ifstream in(out, std::ios::binary);
  std::string magic;
  int max = 0;
  GreyPage page;
  in >> magic >> page.width >> page.height >> max;
  in.get();
  page.grey.resize(std::size_t(std::max(page.width, 0)) * std::size_t(std::max(page.height, 0)));
  in.read(reinterpret_cast<char*>(page.grey.data()), std::streamsize(page.grey.size()));
  return page;
}

// The box around the ink of the rows from `top` to `bottom` (exclusive).
struct InkBox {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};

inline InkBox ink_box(const GreyPage& page, int from_row = 0, int to_row = INT_MAX) {
  InkBox box;
  for (int y = std::max(0, from_row); y < std::min(page.height, to_row); ++y)
    for (int x = 0; x < page.width; ++x)
      if (page.inked(x, y)) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

inline std::string describe(const InkBox& b) {
  std::ostringstream out;
  out << "[" << b.left << "," << b.top << " - " << b.right << "," << b.bottom << "]";
  return out.str();
}

// Whether two boxes have their edges within `tolerance` pixels.
inline bool near(const InkBox& a, const InkBox& b, int tolerance) {
  return !a.empty() && !b.empty() && std::abs(a.left - b.left) <= tolerance &&
         std::abs(a.top - b.top) <= tolerance && std::abs(a.right - b.right) <= tolerance &&
         std::abs(a.bottom - b.bottom) <= tolerance;
}

// Writes the image as a binary PGM file (for zbarimg and for looking at).
inline void write_pgm(const GreyPage& page, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  out << "P5\n" << page.width << " " << page.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(page.grey.data()), std::streamsize(page.grey.size()));
}

}  // namespace tarvo::test
