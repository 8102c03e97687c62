#include <cairo-pdf.h>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <zint.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "component/bar_code.h"
#include "component/check_digits.h"
#include "component/component_error.h"
#include "component/slip_page.h"
#include "printing/page_image_cairo.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

constexpr double kPt = 72.0 / 25.4;  // points per millimetre
constexpr double kPageW = 210.0, kPageH = 297.0;
constexpr double kLeft = 10.0, kWidth = 190.0, kRight = kLeft + kWidth;
constexpr double kSideCol = 45.0;  // the right column of the ficha
// The ficha: 101 mm high (the standard asks 95 to 108), its foot 16 mm above the page's.
constexpr double kFichaTop = 180.0;
// The bar code: narrow bar 0.254 mm (6 dots at 600 dpi), 13 mm high.
constexpr double kNarrow = 0.254, kBarHeight = 13.0;
constexpr double kBarLeft = 12.0, kBarTop = kFichaTop + 87.0;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct SymbolDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
struct ObjectDeleter {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
struct ErrorDeleter {
  void operator()(GError* e) const { g_error_free(e); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;
using Pixbuf = std::unique_ptr<GdkPixbuf, ObjectDeleter>;

cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::string date_text(const Date& d) {
  if (d.empty()) return "";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day(), d.month(), d.year());
  return buf;
}

// Cents as Brazilian amounts are written: "1.234,56".
std::string money(std::int64_t cents) {
  std::string whole = std::to_string(cents / 100);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(static_cast<std::size_t>(i), ".");
  const std::int64_t rest = cents % 100;
  return whole + (rest < 10 ? ",0" : ",") + std::to_string(rest);
}

// Drawing in millimetres on one page.
class Pen {
 public:
  explicit Pen(cairo_t* cr) : cr_(cr) {}

  void line(double x1, double y1, double x2, double y2, double width = 0.2) {
    cairo_set_line_width(cr_, width * kPt);
    cairo_move_to(cr_, x1 * kPt, y1 * kPt);
    cairo_line_to(cr_, x2 * kPt, y2 * kPt);
    cairo_stroke(cr_);
  }
  void dashed(double x1, double y, double x2) {
    const double dash[] = {1.5 * kPt, 1.0 * kPt};
    cairo_set_dash(cr_, dash, 2, 0);
    line(x1, y, x2, y);
    cairo_set_dash(cr_, nullptr, 0, 0);
  }
  // Text with its baseline at y; size in points.
  void text(double x, double y, const std::string& utf8, double size, bool bold = false) {
    cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    cairo_move_to(cr_, x * kPt, y * kPt);
    cairo_show_text(cr_, utf8.c_str());
  }
  void text_right(double right, double y, const std::string& utf8, double size, bool bold = false) {
    cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr_, utf8.c_str(), &ext);
    cairo_move_to(cr_, right * kPt - ext.x_advance, y * kPt);
    cairo_show_text(cr_, utf8.c_str());
  }
  // Words of a text set in lines of at most `width` mm; returns the lines used.
  int paragraph(double x, double y, double width, const std::string& utf8, double size, int max_lines) {
    cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    std::string line, word;
    int lines = 0;
    auto flush = [&] {
      if (lines < max_lines && !line.empty()) text(x, y + lines * size * 0.45, line, size);
      ++lines;
      line.clear();
    };
    auto fits = [&](const std::string& t) {
      cairo_text_extents_t ext;
      cairo_text_extents(cr_, t.c_str(), &ext);
      return ext.x_advance <= width * kPt;
    };
    std::string rest = utf8 + " ";
    for (char c : rest) {
      if (c == '\n' || c == ' ') {
        if (!word.empty()) {
          const std::string candidate = line.empty() ? word : line + " " + word;
          if (!line.empty() && !fits(candidate)) flush();
          line = line.empty() ? word : line + " " + word;
          word.clear();
        }
        if (c == '\n') flush();
      } else {
        word += c;
      }
    }
    if (!line.empty()) flush();
    return lines;
  }
  // A labelled cell, framed: the label small at its top, the value below it.
  void cell(double x, double y, double w, double h, const std::string& label, const std::string& value,
            bool right_aligned = false, bool bold = false) {
    frame(x, y, w, h);
    text(x + 0.8, y + 2.2, label, 5.5);
    if (right_aligned) text_right(x + w - 1.0, y + h - 1.2, value, 8.5, bold);
    else text(x + 1.0, y + h - 1.2, value, 8.5, bold);
  }
  void frame(double x, double y, double w, double h, double width = 0.2) {
    cairo_set_line_width(cr_, width * kPt);
    cairo_rectangle(cr_, x * kPt, y * kPt, w * kPt, h * kPt);
    cairo_stroke(cr_);
  }
  void rectangle(double x, double y, double w, double h) {
    cairo_rectangle(cr_, x * kPt, y * kPt, w * kPt, h * kPt);
    cairo_fill(cr_);
  }
  cairo_t* cr() { return cr_; }

 private:
  cairo_t* cr_;
};

// The logo file decoded when it is a PNG, JPEG or BMP image; null otherwise
// (missing, another format, truncated or corrupt).
Pixbuf read_logo(const std::string& file) {
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

// Cairo wants native-endian 0xAARRGGBB words with the colour premultiplied by
// alpha; the pixbuf holds R, G, B (and A) bytes with straight alpha.
Surface to_surface(const GdkPixbuf* image) {
  const int w = gdk_pixbuf_get_width(image), h = gdk_pixbuf_get_height(image);
  const int channels = gdk_pixbuf_get_n_channels(image), in_stride = gdk_pixbuf_get_rowstride(image);
  const bool alpha = gdk_pixbuf_get_has_alpha(image) && channels == 4;
  if (channels != (alpha ? 4 : 3)) return nullptr;
  Surface surface(cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  const guint8* in = gdk_pixbuf_read_pixels(image);
  unsigned char* out = cairo_image_surface_get_data(surface.get());
  const int out_stride = cairo_image_surface_get_stride(surface.get());
  const auto premultiply = [](unsigned c, unsigned a) { return (c * a + 127) / 255; };
  for (int row = 0; row < h; ++row) {
    const guint8* p = in + static_cast<std::ptrdiff_t>(row) * in_stride;
    unsigned char* q = out + static_cast<std::ptrdiff_t>(row) * out_stride;
    for (int col = 0; col < w; ++col, p += channels, q += 4) {
      const unsigned a = alpha ? p[3] : 255u;
      const std::uint32_t word = (a << 24) | (premultiply(p[0], a) << 16) | (premultiply(p[1], a) << 8) |
                                 premultiply(p[2], a);
      std::memcpy(q, &word, sizeof word);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

// The logo: an image file (PNG, JPEG or BMP) when it can be read, scaled into
// the 38 x 7.5 mm box keeping its proportions; else the bank's name.
void draw_logo(Pen& pen, double x, double y, const std::string& file_utf8, const Slip& s) {
  std::error_code ec;
  if (!file_utf8.empty() && std::filesystem::is_regular_file(file_utf8, ec)) {
    const Pixbuf pixels = read_logo(file_utf8);
    const Surface image = pixels ? to_surface(pixels.get()) : nullptr;
    if (image) {
      const double w = cairo_image_surface_get_width(image.get()), h = cairo_image_surface_get_height(image.get());
      const double scale = std::min(38.0 * kPt / w, 7.5 * kPt / h);
      cairo_save(pen.cr());
      cairo_translate(pen.cr(), x * kPt, (y + 0.5) * kPt);
      cairo_scale(pen.cr(), scale, scale);
      cairo_set_source_surface(pen.cr(), image.get(), 0, 0);
      cairo_paint(pen.cr());
      cairo_restore(pen.cr());
      return;
    }
  }
  pen.text(x, y + 6.0, bank_name(s.account.bank), 12, true);
}

// The bank's line: logo, code with digit, and (optionally) the linha digitável.
void bank_line(Pen& pen, double y, const Slip& s, const std::string& logo, const std::string& right_text) {
  draw_logo(pen, kLeft, y, logo, s);
  pen.line(kLeft + 40, y + 2, kLeft + 40, y + 9, 0.5);
  pen.text(kLeft + 42, y + 7.5, bank_code_with_digit(s.account.bank), 13, true);
  pen.line(kLeft + 62, y + 2, kLeft + 62, y + 9, 0.5);
  pen.text_right(kRight, y + 7.5, right_text, 9.5, true);
  pen.line(kLeft, y + 9, kRight, y + 9, 0.5);
}

std::string payee_line(const Slip& s) {
  return s.profile.payee_name + " — CPF/CNPJ " + s.profile.payee_tax_id;
}

std::string payer_line(const DocumentData& d) {
  return cp1252_to_utf8(d.payer_name) + " — CPF/CNPJ " + cp1252_to_utf8(d.payer_tax_id);
}

std::string payer_address(const DocumentData& d) {
  return cp1252_to_utf8(d.payer_address) + " — " + cp1252_to_utf8(d.payer_district) + " — " +
         cp1252_to_utf8(d.payer_zip) + " " + cp1252_to_utf8(d.payer_city) + "/" + cp1252_to_utf8(d.payer_state);
}

void receipt(Pen& pen, const Slip& s, const std::string& logo) {
  const DocumentData& d = s.document;
  double y = 12;
  bank_line(pen, y, s, logo, "Recibo do Pagador");
  y += 9;
  const double v = kRight - kSideCol;
  pen.cell(kLeft, y, v - kLeft, 8, "Beneficiário", payee_line(s));
  pen.cell(v, y, kSideCol, 8, "Vencimento", date_text(d.due_date), true, true);
  y += 8;
  pen.cell(kLeft, y, 85, 8, "Endereço do beneficiário", "");
  pen.text(kLeft + 1, y + 6.8, s.profile.payee_address, 6.5);
  pen.cell(kLeft + 85, y, 35, 8, "Agência / Código do Beneficiário", printed_payee_code(s.account));
  pen.cell(kLeft + 120, y, v - kLeft - 120, 8, "Nº do documento", cp1252_to_utf8(d.document_number));
  pen.cell(v, y, kSideCol, 8, "Nosso número", s.number.printed, true);
  y += 8;
  pen.cell(kLeft, y, v - kLeft, 8, "Pagador", payer_line(d));
  pen.cell(v, y, kSideCol, 8, "(=) Valor do documento", money(s.cents), true, true);
  y += 8;
  pen.line(kLeft, y, kRight, y);
  pen.text(kLeft + 0.8, y + 2.8, "DEMONSTRATIVO", 7, true);
  pen.paragraph(kLeft + 1, y + 7, kWidth - 2, cp1252_to_utf8(d.statement), 8, 12);
  pen.text_right(kRight, y + 80, "Autenticação mecânica", 6);
}

void bar_code_bars(Pen& pen, const std::string& digits) {
  for (const Bar& b : interleaved_2_of_5(digits))
    pen.rectangle(kBarLeft + b.x * kNarrow, kBarTop, b.width * kNarrow, kBarHeight);
}

// "Protestar ..." when the slip asks for protest days.
std::string protest_instruction(const DocumentData& d) {
  const std::string days = digits_of(d.protest_days);
  const int n = days.empty() || days.size() > 2 ? 0 : std::stoi(days);
  if (n == 0) return {};
  return "Protestar após " + std::to_string(n) + (n == 1 ? " dia corrido" : " dias corridos") + " do vencimento.";
}

// The wallet as the slip shows it; Banco do Brasil's with its variation.
std::string wallet_text(const Slip& s) {
  return s.account.variation.empty() ? s.profile.wallet : s.profile.wallet + "-" + s.account.variation;
}

void ficha(Pen& pen, const Slip& s, const std::string& logo, const Date& processing) {
  const DocumentData& d = s.document;
  const double v = kRight - kSideCol;
  double y = kFichaTop;
  bank_line(pen, y, s, logo, s.printed_line);
  y += 9;
  const double body_top = y;
  pen.cell(kLeft, y, v - kLeft, 7.5, "Local de pagamento", cp1252_to_utf8(s.place_of_payment));
  pen.cell(v, y, kSideCol, 7.5, "Vencimento", date_text(d.due_date), true, true);
  y += 7.5;
  // The payee box: name and tax number, then the address.
  pen.cell(kLeft, y, v - kLeft, 10.5, "Beneficiário", "");
  pen.text(kLeft + 1, y + 5.6, payee_line(s), 8);
  pen.text(kLeft + 1, y + 9.2, s.profile.payee_address, 7);
  pen.cell(v, y, kSideCol, 10.5, "Agência / Código do Beneficiário", printed_payee_code(s.account), true);
  y += 10.5;
  const double w = (v - kLeft) / 6.0;
  pen.cell(kLeft, y, w, 7.5, "Data do documento", date_text(d.document_date));
  pen.cell(kLeft + w, y, 1.6 * w, 7.5, "Nº do documento", cp1252_to_utf8(d.document_number));
  pen.cell(kLeft + 2.6 * w, y, 0.9 * w, 7.5, "Espécie doc.", s.profile.document_kind);
  pen.cell(kLeft + 3.5 * w, y, 0.7 * w, 7.5, "Aceite", s.profile.acceptance);
  pen.cell(kLeft + 4.2 * w, y, 1.8 * w, 7.5, "Data do processamento", date_text(processing));
  pen.cell(v, y, kSideCol, 7.5, "Nosso número", s.number.printed, true);
  y += 7.5;
  pen.cell(kLeft, y, w, 7.5, "Uso do banco", "");
  pen.cell(kLeft + w, y, w, 7.5, "Carteira", wallet_text(s));
  pen.cell(kLeft + 2 * w, y, w, 7.5, "Espécie", "R$");
  pen.cell(kLeft + 3 * w, y, 1.5 * w, 7.5, "Quantidade", "");
  pen.cell(kLeft + 4.5 * w, y, 1.5 * w, 7.5, "Valor", "");
  pen.cell(v, y, kSideCol, 7.5, "(=) Valor do documento", money(s.cents), true, true);
  y += 7.5;
  // Instructions on the left, five amounts on the right, 6 mm each.
  pen.cell(kLeft, y, v - kLeft, 30, "Instruções (texto de responsabilidade do beneficiário)", "");
  std::string instructions = cp1252_to_utf8(d.cashier_instructions);
  if (const std::string protest = protest_instruction(d); !protest.empty()) instructions += "\n" + protest;
  pen.paragraph(kLeft + 1, y + 6, v - kLeft - 2, instructions, 8, 6);
  const char* amounts[] = {"(-) Desconto / Abatimento", "(-) Outras deduções", "(+) Mora / Multa",
                           "(+) Outros acréscimos", "(=) Valor cobrado"};
  for (int i = 0; i < 5; ++i) pen.cell(v, y + i * 6.0, kSideCol, 6.0, amounts[i], "");
  y += 30;
  pen.cell(kLeft, y, kWidth, 13, "Pagador", "");
  pen.text(kLeft + 1, y + 5.5, payer_line(d), 8);
  pen.text(kLeft + 1, y + 9.0, payer_address(d), 8);
  pen.text(kLeft + 0.8, y + 12.3, "Sacador/Avalista", 5.5);
  y += 13;
  pen.frame(kLeft, body_top, kWidth, y - body_top, 0.5);
  pen.text_right(kRight, y + 2.8, "Autenticação mecânica — Ficha de Compensação", 6.5, true);
  bar_code_bars(pen, s.bar_code);
}

// One slip on the page `cr` draws, in points.
void draw_slip(cairo_t* cr, const Slip& s, const AccountData& account, const Date& processing) {
  Pen pen(cr);
  const std::string logo = cp1252_to_utf8(trim(account.logo_file));
  cairo_set_source_rgb(cr, 0, 0, 0);
  receipt(pen, s, logo);
  pen.dashed(kLeft, 150, kRight);
  pen.text_right(kRight, 148.8, "Corte na linha pontilhada", 6);
  ficha(pen, s, logo, processing);
}

}  // namespace

SheetSize slip_sheet() { return {kPageW * kPt, kPageH * kPt}; }

PageImage slip_image(const Slip& slip, const AccountData& account, const Date& processing, double pixels_per_point) {
  const SheetSize sheet = slip_sheet();
  const CairoImageSheet image(sheet.width, sheet.height, pixels_per_point);
  if (!image.ok()) return {};
  draw_slip(image.cr(), slip, account, processing);
  return image.image();
}

std::vector<Bar> interleaved_2_of_5(const std::string& digits) {
  std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
  if (!symbol) throw std::bad_alloc();
  symbol->symbology = BARCODE_C25INTER;
  symbol->show_hrt = 0;
  symbol->scale = 1;
  const int status = ZBarcode_Encode_and_Buffer_Vector(
      symbol.get(), reinterpret_cast<const unsigned char*>(digits.data()), static_cast<int>(digits.size()), 0);
  if (status >= ZINT_ERROR || !symbol->vector || symbol->width <= 0)
    throw std::runtime_error(std::string("código de barras não gerado: ") + symbol->errtxt);
  const double unit = symbol->vector->width / symbol->width;  // vector units per narrow bar
  std::vector<Bar> bars;
  for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
    bars.push_back({r->x / unit, r->width / unit});
  return bars;
}

std::string slips_pdf(const std::vector<Slip>& slips, const AccountData& account, const Date& processing) {
  std::string pdf;
  Surface surface(cairo_pdf_surface_create_for_stream(append_to_string, &pdf, kPageW * kPt, kPageH * kPt));
  Context cr(cairo_create(surface.get()));
  for (const Slip& s : slips) {
    draw_slip(cr.get(), s, account, processing);
    cairo_show_page(cr.get());
  }
  cr.reset();
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    fail(account_label(account), "IMPRIMEBOLETOSSEMPREVIEW", "o documento PDF não pôde ser gerado");
  return pdf;
}

}  // namespace tarvo::component
