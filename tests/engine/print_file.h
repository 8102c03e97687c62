#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvo::test {

// One positioned record: every field closed by the terminator.
inline std::string record(std::initializer_list<std::string_view> fields) {
  std::string r = "/#%#";
  for (std::string_view f : fields) r.append(f).append("&#$|");
  return r + "%$@\\";
}

}  // namespace tarvo::test
