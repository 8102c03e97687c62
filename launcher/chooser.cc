#include "launcher/chooser.h"

#include "launcher/startup.h"

namespace tarvo {

void open_chooser_window(Launcher&) {}

}  // namespace tarvo
