#pragma once

#include <algorithm>
#include <cmath>

namespace tarvo {

// The largest image a sheet is drawn into, in pixels (256 MB): a scale that
// would need more draws the sheet smaller. No side goes above 32767 pixels,
// which neither cairo nor GDI takes.
inline constexpr double kMostImagePixels = 64.0 * 1024 * 1024;
inline constexpr double kLongestImageSide = 32767;

// The scale asked for, or less where the image would be too large.
inline double fitting_scale(double width_points, double height_points, double pixels_per_point) {
  double scale = pixels_per_point > 0 && std::isfinite(pixels_per_point) ? pixels_per_point : 1.0;
  const double area = width_points * height_points * scale * scale;
  if (area > kMostImagePixels) scale *= std::sqrt(kMostImagePixels / area);
  const double side = std::max(width_points, height_points) * scale;
  if (side > kLongestImageSide) scale *= kLongestImageSide / side;
  return scale;
}

}  // namespace tarvo
