#pragma once

#include <string>
#include <string_view>

namespace tarvo::ui {

enum class Icon { stop, exclamation, question };

struct Point {
  int x = 0;
  int y = 0;
};

// The modal boxes and the text pop-up of the windowing layer. Texts are UTF-8.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A box with an icon and an OK button; returns when it is closed.
  virtual void message(Icon icon, std::string_view title, std::string_view text) = 0;
  // A yes/no question; `default_yes` picks the default button.
  virtual bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) = 0;
  // A short tone; dropped where there is no speaker.
  virtual void tone(int hertz, int milliseconds) = 0;
  // A text pop-up at a screen position, in a font given as "Face, size".
  virtual void text_popup(std::string_view text, Point at, std::string_view font) = 0;
  // Where the mouse pointer is on the screen.
  virtual Point pointer_position() = 0;
};

// Boxes without a display: each becomes one block on standard error, the
// title, ": " and the text (line breaks kept); a question takes its default
// answer.
class ConsoleDialogs final : public Dialogs {
 public:
  void message(Icon icon, std::string_view title, std::string_view text) override;
  bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override;
  void tone(int, int) override {}
  void text_popup(std::string_view text, Point at, std::string_view font) override;
  Point pointer_position() override { return {}; }
};

}  // namespace tarvo::ui
