#include "ui/dialogs_win32.h"
#include "ui/preview_win32.h"
#include "ui/toolkit.h"
#include "ui/window_win32.h"

namespace tarvo::ui {
namespace {

// The toolkit on the Windows user interface: the system's own boxes and
// windows of its common controls (the chooser and the preview). An
// unattended run shows no window.
class Win32Toolkit final : public Toolkit {
 public:
  Dialogs& dialogs() override {
    if (unattended_run()) return console_;
    if (!boxes_) boxes_ = make_win32_dialogs();
    return *boxes_;
  }
  bool has_display() override { return !unattended_run(); }
  std::unique_ptr<Window> create_window(const WindowDesc& desc) override {
    if (!has_display()) return nullptr;
    return make_win32_window(desc);
  }
  std::unique_ptr<PreviewWindow> create_preview(const PreviewDesc& desc) override {
    if (!has_display()) return nullptr;
    return make_win32_preview(desc);
  }

 private:
  std::unique_ptr<Dialogs> boxes_;
  ConsoleDialogs console_;
};

}  // namespace

std::unique_ptr<Toolkit> make_system_toolkit(int, char**) { return std::make_unique<Win32Toolkit>(); }

}  // namespace tarvo::ui
