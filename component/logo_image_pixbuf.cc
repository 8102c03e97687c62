#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstddef>
#include <memory>
#include <string_view>

#include "component/logo_image.h"

namespace tarvo::component {

namespace {

struct ObjectDeleter {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
struct ErrorDeleter {
  void operator()(GError* e) const { g_error_free(e); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, ObjectDeleter>;

Pixbuf decode(const std::string& file) {
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(file.c_str(), nullptr, nullptr);
  if (format == nullptr) return nullptr;
  const std::unique_ptr<gchar, decltype(&g_free)> name(gdk_pixbuf_format_get_name(format), &g_free);
  const std::string_view kind = name ? name.get() : "";
  if (kind != "png" && kind != "jpeg" && kind != "bmp") return nullptr;
  GError* raw_error = nullptr;
  Pixbuf image(gdk_pixbuf_new_from_file(file.c_str(), &raw_error));
  const std::unique_ptr<GError, ErrorDeleter> error(raw_error);
  if (error || !image) return nullptr;
  if (gdk_pixbuf_get_colorspace(image.get()) != GDK_COLORSPACE_RGB || gdk_pixbuf_get_bits_per_sample(image.get()) != 8)
    return nullptr;
  return image;
}

}  // namespace

std::optional<LogoImage> read_logo(const std::filesystem::path& file) {
  const Pixbuf image = decode(file.string());
  if (!image) return std::nullopt;
  const GdkPixbuf* p = image.get();
  const int w = gdk_pixbuf_get_width(p), h = gdk_pixbuf_get_height(p);
  const int channels = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
  const bool alpha = gdk_pixbuf_get_has_alpha(p) && channels == 4;
  if (channels != (alpha ? 4 : 3) || w <= 0 || h <= 0) return std::nullopt;
  LogoImage logo{w, h, {}};
  logo.pixels.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  const guint8* pixels = gdk_pixbuf_read_pixels(p);
  for (int row = 0; row < h; ++row) {
    const guint8* in = pixels + static_cast<std::ptrdiff_t>(row) * stride;
    for (int col = 0; col < w; ++col, in += channels) {
      const std::uint32_t a = alpha ? in[3] : 0xFFu;
      logo.pixels.push_back((a << 24) | (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2]);
    }
  }
  return logo;
}

}  // namespace tarvo::component
