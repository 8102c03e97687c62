#pragma once

#include <memory>
#include <string_view>

#include "ui/dialogs.h"

namespace tarvo::ui {

// A plain-text pop-up: a small framed window without a title bar, in the
// tool-tips' colours, that stays until the next click or key (a click
// elsewhere, or another window taking over, closes it too). It does not
// wait: the program's message loop carries it.
class TextPopup {
 public:
  virtual ~TextPopup() = default;
  virtual bool open() const = 0;
};

// Shows `text` (UTF-8) with its top left corner at `at`, moved only as far
// as needed to keep it whole on its monitor, in a font given as
// "Face, points". Null when the system refuses the window.
std::unique_ptr<TextPopup> show_text_popup(std::string_view text, Point at, std::string_view font);

}  // namespace tarvo::ui
