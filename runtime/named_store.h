#pragma once

#include <map>
#include <string>
#include <string_view>

#include "runtime/value.h"

namespace tarvo {

// Values created by name at run time, whose names match without regard to
// letter case (the runtime's memory variables).
class NamedStore {
 public:
  // Creates the member or overwrites it. The name must be a valid member
  // name (a letter or underscore, then letters, digits and underscores);
  // anything else is a runtime error.
  void set(std::string_view name, Value value);

  // The member's value, or nullptr when it was never set.
  const Value* find(std::string_view name) const;
  bool contains(std::string_view name) const { return find(name) != nullptr; }
  std::size_t size() const { return values_.size(); }
  void clear() { values_.clear(); }

  static bool valid_name(std::string_view name);

 private:
  std::map<std::string, Value, std::less<>> values_;  // keyed by upper-cased name
};

}  // namespace tarvo
