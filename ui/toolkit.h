#pragma once

#include <memory>

#include "ui/dialogs.h"
#include "ui/preview.h"
#include "ui/window.h"

namespace tarvo::ui {

// The windowing layer of one run. The toolkit behind it is started only when
// a box or the window is first needed, so a job that shows nothing never
// starts it; without a display every box goes to standard error.
class Toolkit {
 public:
  Toolkit() = default;
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;
  virtual ~Toolkit() = default;

  // The boxes; starts the toolkit when it is not running yet.
  virtual Dialogs& dialogs() = 0;
  // Whether windows can be shown (a display was found and opened).
  virtual bool has_display() = 0;
  // A new top-level window; starts the toolkit when it is not running yet.
  // Null when this toolkit cannot show windows (no display).
  virtual std::unique_ptr<Window> create_window(const WindowDesc&) { return nullptr; }
  // A new preview window, modal over the others; null without a display.
  virtual std::unique_ptr<PreviewWindow> create_preview(const PreviewDesc&) { return nullptr; }

  // Boxes that start the toolkit only when one is really shown.
  Dialogs& dialogs_lazy() { return lazy_; }

 private:
  class Lazy final : public Dialogs {
   public:
    explicit Lazy(Toolkit& t) : t_(t) {}
    void message(Icon i, std::string_view title, std::string_view text) override {
      t_.dialogs().message(i, title, text);
    }
    bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override {
      return t_.dialogs().ask_yes_no(title, text, default_yes);
    }
    void tone(int hz, int ms) override { t_.dialogs().tone(hz, ms); }
    void text_popup(std::string_view text, Point at, std::string_view font) override {
      t_.dialogs().text_popup(text, at, font);
    }
    Point pointer_position() override { return t_.dialogs().pointer_position(); }

   private:
    Toolkit& t_;
  };
  Lazy lazy_{*this};
};

// The platform's toolkit (Qt Widgets on Linux, the system's own boxes on
// Windows).
std::unique_ptr<Toolkit> make_system_toolkit(int argc, char** argv);

// True when TARVOUSB_UNATTENDED is set to anything but "" or "0": nobody is
// there to answer, so every box goes to standard error even when there is a
// display.
bool unattended_run();

}  // namespace tarvo::ui
