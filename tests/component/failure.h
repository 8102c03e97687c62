#pragma once

#include <gtest/gtest.h>

#include "runtime/runtime_error.h"

namespace tarvo::component::test {

// The component failure that `action` raises; the test fails when it raises
// none.
template <typename Action>
RuntimeError failure_in(Action&& action) {
  try {
    action();
  } catch (const RuntimeError& e) {
    return e;
  }
  ADD_FAILURE() << "no failure";
  return {};
}

}  // namespace tarvo::component::test
