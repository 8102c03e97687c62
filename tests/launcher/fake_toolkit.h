#pragma once

#include "tests/support/test_support.h"
#include "ui/toolkit.h"

namespace tarvo::test {

// A toolkit whose boxes the test answers; it has no display.
class FakeToolkit final : public ui::Toolkit {
 public:
  ScriptedDialogs boxes;
  bool display = false;
  ui::Dialogs& dialogs() override { return boxes; }
  bool has_display() override { return display; }
};

}  // namespace tarvo::test
