#include "component/slip_canvas_gdi.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "runtime/wide_text.h"

namespace tarvo::component {

namespace {

// Windows has no DejaVu Sans, which the Linux pages use; Arial is its own
// sans-serif face and the nearest in width.
constexpr wchar_t kFace[] = L"Arial";

}  // namespace

GdiSlipCanvas::GdiSlipCanvas(HDC dc, Geometry geometry) : dc_(dc), g_(geometry) {
  SetMapMode(dc_, MM_TEXT);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(0, 0, 0));
  SetTextAlign(dc_, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  original_font_ = GetCurrentObject(dc_, OBJ_FONT);
}

// Our fonts leave the context before they are deleted.
GdiSlipCanvas::~GdiSlipCanvas() {
  if (original_font_) SelectObject(dc_, original_font_);
}

long GdiSlipCanvas::device_x(double mm) const { return std::lround(g_.origin_x + mm * g_.dots_per_mm_x); }
long GdiSlipCanvas::device_y(double mm) const { return std::lround(g_.origin_y + mm * g_.dots_per_mm_y); }

void GdiSlipCanvas::fill_dots(long left, long top, long right, long bottom) {
  const RECT area{left, top, std::max(right, left + 1), std::max(bottom, top + 1)};
  FillRect(dc_, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// The slip's lines run across or down the sheet: each is the rectangle its
// width covers, as a stroke with flat ends covers it.
void GdiSlipCanvas::line(double x1, double y1, double x2, double y2, double width) {
  const double half = width / 2;
  if (y1 == y2) {
    fill_dots(device_x(std::min(x1, x2)), device_y(y1 - half), device_x(std::max(x1, x2)), device_y(y1 + half));
  } else if (x1 == x2) {
    fill_dots(device_x(x1 - half), device_y(std::min(y1, y2)), device_x(x1 + half), device_y(std::max(y1, y2)));
  } else {
    LOGBRUSH brush{BS_SOLID, RGB(0, 0, 0), 0};
    const DWORD dots = static_cast<DWORD>(std::max(1L, std::lround(width * g_.dots_per_mm_x)));
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, dots, &brush, 0, nullptr);
    if (!pen) return;
    HGDIOBJ previous = SelectObject(dc_, pen);
    MoveToEx(dc_, device_x(x1), device_y(y1), nullptr);
    LineTo(dc_, device_x(x2), device_y(y2));
    SelectObject(dc_, previous);
    DeleteObject(pen);
  }
}

void GdiSlipCanvas::dashed_line(double x1, double y, double x2, double width) {
  constexpr double kDash = 1.5, kGap = 1.0;
  for (double x = x1; x < x2; x += kDash + kGap) line(x, y, std::min(x + kDash, x2), y, width);
}

void GdiSlipCanvas::select_font(double size, bool bold) {
  const long height = std::max(1L, std::lround(size * g_.dots_per_mm_y * 25.4 / 72.0));
  gdi::Font& font = fonts_[{height, bold}];
  if (!font)
    font.reset(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, kFace));
  if (font) SelectObject(dc_, font.get());
}

void GdiSlipCanvas::text(double x, double y, const std::string& utf8, double size, bool bold) {
  if (utf8.empty()) return;
  select_font(size, bold);
  const std::wstring wide = wide_from_utf8(utf8);
  ExtTextOutW(dc_, device_x(x), device_y(y), 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}

double GdiSlipCanvas::text_width(const std::string& utf8, double size, bool bold) {
  if (utf8.empty()) return 0;
  select_font(size, bold);
  const std::wstring wide = wide_from_utf8(utf8);
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &extent)) return 0;
  return extent.cx / g_.dots_per_mm_x;
}

void GdiSlipCanvas::frame(double x, double y, double w, double h, double width) {
  const double half = width / 2;
  line(x - half, y, x + w + half, y, width);
  line(x - half, y + h, x + w + half, y + h, width);
  line(x, y, x, y + h, width);
  line(x + w, y, x + w, y + h, width);
}

void GdiSlipCanvas::fill_rectangle(double x, double y, double w, double h) {
  fill_dots(device_x(x), device_y(y), device_x(x + w), device_y(y + h));
}

// Printers take no transparency: the logo is laid on white first.
void GdiSlipCanvas::image(double x, double y, double w, double h, const LogoImage& logo) {
  if (logo.width <= 0 || logo.height <= 0) return;
  std::vector<std::uint32_t> opaque(logo.pixels.size());
  std::transform(logo.pixels.begin(), logo.pixels.end(), opaque.begin(), [](std::uint32_t p) {
    const unsigned a = p >> 24;
    const auto over_white = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return (over_white((p >> 16) & 0xFF) << 16) | (over_white((p >> 8) & 0xFF) << 8) | over_white(p & 0xFF);
  });
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = logo.width;
  info.bmiHeader.biHeight = -logo.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const long left = device_x(x), top = device_y(y);
  SetStretchBltMode(dc_, HALFTONE);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  StretchDIBits(dc_, left, top, std::max(1L, device_x(x + w) - left), std::max(1L, device_y(y + h) - top), 0, 0,
                logo.width, logo.height, opaque.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void GdiSlipCanvas::bars(double x, double y, double narrow, double height, const std::vector<Bar>& bars) {
  const long module = std::max(1L, std::lround(narrow * g_.dots_per_mm_x));
  const long left = device_x(x), top = device_y(y), bottom = device_y(y + height);
  for (const Bar& b : bars)
    fill_dots(left + std::lround(b.x * module), top, left + std::lround((b.x + b.width) * module), bottom);
}

}  // namespace tarvo::component
