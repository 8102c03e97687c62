#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit.h"

class QApplication;

namespace tarvo::ui {

// The toolkit on Qt Widgets. QApplication is created on first use.
class QtToolkit final : public Toolkit {
 public:
  QtToolkit(int argc, char** argv);
  ~QtToolkit() override;

  Dialogs& dialogs() override;
  bool has_display() override;
  std::unique_ptr<Window> create_window(const WindowDesc& desc) override;
  std::unique_ptr<PreviewWindow> create_preview(const PreviewDesc& desc) override;

  // Starts Qt if it is not running yet; false when no display can be opened.
  bool ensure_started();
  QApplication* app() { return app_.get(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  int argc_ = 0;
  std::unique_ptr<QApplication> app_;
  bool tried_ = false;
  std::unique_ptr<Dialogs> qt_dialogs_;
  ConsoleDialogs console_;
};

}  // namespace tarvo::ui
