#include "runtime/value.h"

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tarvo {
namespace {
[[noreturn]] void wrong_kind(const Value& v, char wanted) {
  RuntimeError e;
  e.description = std::string("tipo de dado incorreto: esperado ") + wanted + ", recebido " +
                  v.type_letter();
  throw e;
}
}  // namespace

char Value::type_letter() const {
  switch (v_.index()) {
    case 1: return 'C';
    case 2: return 'N';
    case 3: return 'D';
    case 4: return 'L';
    default: return 'U';
  }
}

const std::string& Value::text() const {
  if (!is_text()) wrong_kind(*this, 'C');
  return std::get<std::string>(v_);
}

double Value::number() const {
  if (!is_number()) wrong_kind(*this, 'N');
  return std::get<double>(v_);
}

const Date& Value::date() const {
  if (!is_date()) wrong_kind(*this, 'D');
  return std::get<Date>(v_);
}

bool Value::logical() const {
  if (!is_logical()) wrong_kind(*this, 'L');
  return std::get<bool>(v_);
}

std::string display_text(const Value& value, const RunSettings& settings) {
  switch (value.storage().index()) {
    case 1: return value.text();
    case 2: return number_to_text(value.number(), settings);
    case 3: return date_to_text(value.date(), settings);
    case 4: return value.logical() ? ".T." : ".F.";
    default: return "NIL";
  }
}

}  // namespace tarvo
