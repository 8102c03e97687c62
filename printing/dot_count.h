#pragma once

#include <algorithm>
#include <cmath>

namespace tarvo {

// Every dot count that the page model and its devices derive from a print
// file's numbers (positions, font sizes and widths, text widths, and sums of
// these) goes through the helpers below. They hold it within ±kDotLimit dots:
// far off any sheet and beyond any font a device draws, so a wild number
// stays wild on its own side instead of wrapping round. Sums are taken in
// double and held again, never added as ints.
inline constexpr int kDotLimit = 1 << 30;

// The whole part of `dots`, held in range; NaN counts as 0.
inline int held_dots(double dots) {
  if (std::isnan(dots)) return 0;
  return static_cast<int>(std::trunc(std::clamp(dots, -double(kDotLimit), double(kDotLimit))));
}

// `dots` to the nearest whole dot, halves away from zero, held in range.
inline int rounded_dots(double dots) { return held_dots(std::round(dots)); }

}  // namespace tarvo
