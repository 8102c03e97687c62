#pragma once

#include <string>

namespace tarvo::ui {

// The Qt platform on which boxes and windows can really be shown in this
// session, as QT_QPA_PLATFORM names it (with any options it carries); empty
// when there is none. It is decided before Qt starts, because Qt ends the
// process when its platform cannot open a display.
//
// Only desktop platforms count (X11 through "xcb", Wayland): a platform
// nobody sees, such as "offscreen", means there is no display. Those named in
// QT_QPA_PLATFORM are tried first, in their order, then the session's own.
// A platform counts when its plugin is installed and loads, and its display
// answers.
std::string usable_qt_platform();

}  // namespace tarvo::ui
