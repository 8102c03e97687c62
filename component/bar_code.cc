#include "component/bar_code.h"

#include <zint.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <new>
#include <stdexcept>

#include "component/check_digits.h"

namespace tarvo::component {

namespace {
// 1997-10-07, the base date of the factor (FEBRABAN).
const long kFactorBase = Date::from_ymd(1997, 10, 7)->days_since_epoch();

struct SymbolDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
}  // namespace

std::optional<int> due_date_factor(const Date& due) {
  if (due.empty()) return std::nullopt;
  const long days = due.days_since_epoch() - kFactorBase;
  if (days < 1000) return std::nullopt;
  // FEBRABAN: factor 9999 on 2025-02-21 is followed by 1000 on 2025-02-22.
  return static_cast<int>((days - 1000) % 9000 + 1000);
}

std::optional<std::int64_t> amount_in_cents(double amount) {
  // Beyond 10^15 a double holds no cents at all; no slip comes near.
  if (!std::isfinite(amount) || amount < 0 || amount >= 1e15) return std::nullopt;
  // The shortest decimal that reads back as this double is the amount as
  // written; it is rounded as decimal text.
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, amount, std::chars_format::fixed);
  if (ec != std::errc()) return std::nullopt;
  const std::string_view text(buf, static_cast<std::size_t>(end - buf));
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  std::int64_t cents = 0;
  for (char c : whole) cents = cents * 10 + (c - '0');
  for (std::size_t i = 0; i < 2; ++i) cents = cents * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  if (fraction.size() > 2 && fraction[2] >= '5') ++cents;
  return cents;
}

std::optional<std::string> amount_field(std::int64_t cents) {
  if (cents < 0 || cents > 9'999'999'999) return std::nullopt;
  return zero_pad(std::to_string(cents), 10);
}

std::string bar_code(std::string_view bank3, int factor, std::string_view amount10,
                     std::string_view free_field25) {
  std::string without_dv = std::string(bank3) + "9" + zero_pad(std::to_string(factor), 4) +
                           std::string(amount10) + std::string(free_field25);
  const int dv = bar_code_check_digit(without_dv);
  return without_dv.insert(4, 1, static_cast<char>('0' + dv));
}

bool bar_code_valid(std::string_view code) {
  if (code.size() != 44 || digits_of(code).size() != 44) return false;
  std::string without_dv = std::string(code.substr(0, 4)) + std::string(code.substr(5));
  return bar_code_check_digit(without_dv) == code[4] - '0';
}

std::string typeable_line(std::string_view code) {
  auto closed = [](std::string field) { return field + static_cast<char>('0' + mod10(field)); };
  const std::string_view free = code.substr(19, 25);
  return closed(std::string(code.substr(0, 4)) + std::string(free.substr(0, 5))) +
         closed(std::string(free.substr(5, 10))) + closed(std::string(free.substr(15, 10))) +
         std::string(code.substr(4, 1)) + std::string(code.substr(5, 14));
}

std::string printed_typeable_line(std::string_view t) {
  std::string out;
  out.append(t.substr(0, 5)).append(".").append(t.substr(5, 5)).append(" ");
  out.append(t.substr(10, 5)).append(".").append(t.substr(15, 6)).append(" ");
  out.append(t.substr(21, 5)).append(".").append(t.substr(26, 6)).append(" ");
  out.append(t.substr(32, 1)).append(" ").append(t.substr(33, 14));
  return out;
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

}  // namespace tarvo::component
