#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tarvo::component {

// A decoded logo: rows from the top, each pixel 0xAARRGGBB with straight
// (not premultiplied) alpha.
struct LogoImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The logo file decoded when it is a PNG, JPEG or BMP image; empty otherwise
// (missing, another format, truncated or corrupt). Each platform decodes
// with its own imaging library (logo_image_<backend>.cc).
std::optional<LogoImage> read_logo(const std::filesystem::path& file);

}  // namespace tarvo::component
