#pragma once

namespace tarvo {

struct Launcher;

// Builds the printer chooser window over the filled table IMP and runs it
// until it is closed or a print action has run the job.
void open_chooser_window(Launcher& run);

}  // namespace tarvo
