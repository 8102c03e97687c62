// Any bytes as the texts the runtime turns into numbers and dates, under
// each date setting the program has run with, and as Windows-1252 text.
// What the runtime writes it must read back as the same value.
#include <cmath>
#include <cstring>

#include "launcher/run_settings.h"
#include "runtime/date.h"
#include "runtime/named_store.h"
#include "runtime/text.h"
#include "runtime/value.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;

// A number written with `decimals` decimals reads back within half a unit
// of its last place (and a little for the double's own rounding).
void check_number(std::string_view text) {
  const double n = tarvo::numeric_value(text);
  if (!std::isfinite(n)) finding("a text read as a number that is not finite");
  for (const int decimals : {0, 2, 5}) {
    const std::string written = tarvo::fixed_text(n, decimals);
    const double back = tarvo::numeric_value(written);
    const double allowed = 0.5 * std::pow(10.0, -decimals) + std::fabs(n) * 1e-15;
    if (std::fabs(back - n) > allowed) finding("a number does not read back as written: " + written);
  }
  tarvo::RunSettings settings;
  tarvo::CONF_AMBIENTE(settings);
  tarvo::display_text(tarvo::Value(n), settings);
}

// A date read in any setting writes and reads back as itself with the
// century, and counts its days both ways alike.
void check_date(std::string_view text) {
  for (const bool century : {false, true}) {
    for (const int epoch : {1900, 1925}) {
      tarvo::RunSettings settings;
      settings.century = century;
      settings.epoch = epoch;
      const tarvo::Date d = tarvo::date_from_text(text, settings);
      const std::string written = tarvo::date_to_text(d, settings);
      if (d.empty()) continue;
      settings.century = true;
      if (tarvo::date_from_text(tarvo::date_to_text(d, settings), settings) != d)
        finding("a date does not read back as written: " + written);
      if (tarvo::Date::from_days_since_epoch(d.days_since_epoch()) != d) finding("a date's day count is not its own");
    }
  }
}

// Windows-1252 bytes go to UTF-8 and back unchanged, and the text rules
// keep within the text.
void check_text(std::string_view text) {
  if (tarvo::utf8_to_cp1252(tarvo::cp1252_to_utf8(text)) != text)
    finding("a text changed on its way to UTF-8 and back");
  tarvo::utf8_to_cp1252(text);
  const std::string_view needle = tarvo::right(text, text.size() / 3);
  if (tarvo::ifind(text, needle) == 0) finding("a text does not hold its own end");
  tarvo::text_equal(text, needle);
  tarvo::from_position(text, text.size() / 2);
  tarvo::NamedStore store;
  if (tarvo::NamedStore::valid_name(text)) store.set(text, tarvo::Value(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tarvo::fuzz::text_of(data, size);
  check_number(text);
  check_date(text);
  check_text(text);
  return 0;
}
