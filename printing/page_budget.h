#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace tarvo {

// What one page may hold, in bytes, estimated from what a device keeps for
// each drawing call, glyph and font until the page is done (cairo in memory,
// the system's spooler on disk). A page that needs more is not drawn. Every
// device counts the same way, so a print file that fails on one platform
// fails on the other too.
class PageBudget {
 public:
  static constexpr std::size_t kBudget = std::size_t{28} << 20;
  static constexpr std::size_t kCallCost = 512;
  static constexpr std::size_t kGlyphCost = 32;
  static constexpr std::size_t kFontCost = 768;

  // A device that keeps its pages some other way (a preview's images) may
  // hold pages to another limit.
  explicit PageBudget(std::size_t limit = kBudget) : limit_(limit) {}

  // A new page, numbered one after the last.
  void start_page() {
    ++page_;
    cost_ = 0;
    fonts_.clear();
  }

  // Counts `bytes` more against the page, with font `font` (the device's own
  // number for it, in the order it made them) the first time the page uses
  // it. False once the page is out of room.
  bool take(std::size_t bytes, std::optional<std::uint64_t> font) {
    if (font && fonts_.insert(*font).second) bytes += kFontCost;
    cost_ += bytes;
    return cost_ <= limit_;
  }

  // The page being drawn, from 1.
  int page() const { return page_; }

  // Why the page was not drawn.
  std::string reason() const {
    return "a página " + std::to_string(page_) + " tem texto demais para ser desenhada de uma vez";
  }

 private:
  std::size_t limit_;
  int page_ = 0;
  std::size_t cost_ = 0;
  std::set<std::uint64_t> fonts_;
};

// Fonts above this size are refused before they reach the system's font
// machinery, like any font that cannot be made: FreeType sets no size of
// 2^16 pixels or more, and the system's rasterizer fares no better.
inline constexpr double kLargestFontPoints = 1 << 15;

}  // namespace tarvo
