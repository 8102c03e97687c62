#include "runtime/named_store.h"

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tarvo {

bool NamedStore::valid_name(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(name[0])) return false;
  for (const char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

void NamedStore::set(std::string_view name, Value value) {
  if (!valid_name(name)) {
    RuntimeError e;
    e.description = "nome de variável inválido";
    e.operation = cp1252_to_utf8(name);
    throw e;
  }
  values_.insert_or_assign(upper(name), std::move(value));
}

const Value* NamedStore::find(std::string_view name) const {
  const auto it = values_.find(upper(name));
  return it == values_.end() ? nullptr : &it->second;
}

}  // namespace tarvo
