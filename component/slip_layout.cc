#include "component/slip_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "component/bar_code.h"
#include "component/check_digits.h"
#include "component/local_files.h"
#include "component/logo_image.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

constexpr double kLeft = 10.0, kWidth = 190.0, kRight = kLeft + kWidth;
constexpr double kSideCol = 45.0;  // the right column of the ficha
// The ficha: 101 mm high (the standard asks 95 to 108), its foot 16 mm above the page's.
constexpr double kFichaTop = 180.0;
// The bar code: narrow bar 0.254 mm (6 dots at 600 dpi), 13 mm high.
constexpr double kNarrow = 0.254, kBarHeight = 13.0;
constexpr double kBarLeft = 12.0, kBarTop = kFichaTop + 87.0;

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

// The layout's drawing vocabulary over a canvas: default line widths,
// right-aligned texts, paragraphs and labelled cells.
class Pen {
 public:
  explicit Pen(SlipCanvas& canvas) : canvas_(canvas) {}

  void line(double x1, double y1, double x2, double y2, double width = 0.2) {
    canvas_.line(x1, y1, x2, y2, width);
  }
  void dashed(double x1, double y, double x2) { canvas_.dashed_line(x1, y, x2, 0.2); }
  // Text with its baseline at y; size in points.
  void text(double x, double y, const std::string& utf8, double size, bool bold = false) {
    canvas_.text(x, y, utf8, size, bold);
  }
  void text_right(double right, double y, const std::string& utf8, double size, bool bold = false) {
    canvas_.text(right - canvas_.text_width(utf8, size, bold), y, utf8, size, bold);
  }
  // Words of a text set in lines of at most `width` mm; returns the lines used.
  int paragraph(double x, double y, double width, const std::string& utf8, double size, int max_lines) {
    std::string line, word;
    int lines = 0;
    auto flush = [&] {
      if (lines < max_lines && !line.empty()) text(x, y + lines * size * 0.45, line, size);
      ++lines;
      line.clear();
    };
    auto fits = [&](const std::string& t) { return canvas_.text_width(t, size, false) <= width; };
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
  void frame(double x, double y, double w, double h, double width = 0.2) { canvas_.frame(x, y, w, h, width); }
  SlipCanvas& canvas() { return canvas_; }

 private:
  SlipCanvas& canvas_;
};

// The logo: an image file (PNG, JPEG or BMP) when it can be read, scaled into
// the 38 x 7.5 mm box keeping its proportions; else the bank's name.
void draw_logo(Pen& pen, double x, double y, const std::string& file_utf8, const Slip& s) {
  std::error_code ec;
  const std::filesystem::path file = path_from_utf8(file_utf8);
  if (!file_utf8.empty() && std::filesystem::is_regular_file(file, ec)) {
    if (const std::optional<LogoImage> logo = read_logo(file); logo && logo->width > 0 && logo->height > 0) {
      const double scale = std::min(38.0 / logo->width, 7.5 / logo->height);  // mm per pixel
      pen.canvas().image(x, y + 0.5, logo->width * scale, logo->height * scale, *logo);
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
  pen.canvas().bars(kBarLeft, kBarTop, kNarrow, kBarHeight, interleaved_2_of_5(digits));
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

}  // namespace

void draw_slip(SlipCanvas& canvas, const Slip& s, const AccountData& account, const Date& processing) {
  Pen pen(canvas);
  const std::string logo = cp1252_to_utf8(trim(account.logo_file));
  receipt(pen, s, logo);
  pen.dashed(kLeft, 150, kRight);
  pen.text_right(kRight, 148.8, "Corte na linha pontilhada", 6);
  ficha(pen, s, logo, processing);
}

}  // namespace tarvo::component
