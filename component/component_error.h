#pragma once

#include <string>
#include <string_view>

#include "runtime/runtime_error.h"

namespace tarvo::component {

// The slip component's own failures: general code 1001, raised by the
// component, with a description that names the account (branch/account as
// the slip sent them) and the field that is wrong. Texts are UTF-8.
[[noreturn]] void fail(std::string_view account, std::string_view field, std::string_view what);

// The same failure as a value, for code that collects before it throws.
RuntimeError component_error(std::string_view account, std::string_view field, std::string_view what);

inline constexpr std::string_view kSubsystem = "CobreBemX";

}  // namespace tarvo::component
