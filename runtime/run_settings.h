#pragma once

namespace tarvo {

// The run-wide settings of the runtime that change a result somewhere in the
// program. The defaults are the runtime's own; the launcher's environment
// step replaces them for the run.
struct RunSettings {
  bool exact = false;        // exact text comparison
  int decimals = 2;          // decimals of a computed fraction turned into text
  bool century = false;      // four-digit years in the date format
  int epoch = 1900;          // first year of the window two-digit years fall in
  bool deleted_hidden = false;
};

}  // namespace tarvo
