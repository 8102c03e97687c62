#pragma once

#include "runtime/run_settings.h"

namespace tarvo {

// Applies the run-wide settings of the runtime: exact comparison off,
// 5 decimals, day/month/four-digit-year dates, epoch 1925.
void CONF_AMBIENTE(RunSettings& settings);

// The look of the window environment that startup sets before any window
// exists; the window reads it when it is built.
struct WindowEnvironment {
  bool balloon_tooltips = false;
  bool focus_colour = false;       // the input that has the focus shows the focus colour
  bool european_numbers = false;   // decimal comma, point between thousands
};

}  // namespace tarvo
