#include "component/component_error.h"

namespace tarvo::component {

RuntimeError component_error(std::string_view account, std::string_view field, std::string_view what) {
  RuntimeError e;
  e.gencode = 1001;
  e.subsystem = std::string(kSubsystem);
  e.description = "Conta " + std::string(account.empty() ? "(não informada)" : account) + ", campo " +
                  std::string(field) + ": " + std::string(what);
  e.operation = std::string(field);
  return e;
}

void fail(std::string_view account, std::string_view field, std::string_view what) {
  throw component_error(account, field, what);
}

}  // namespace tarvo::component
