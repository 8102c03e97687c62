#include "ui/dialogs_win32.h"
#include "ui/toolkit.h"

namespace tarvo::ui {
namespace {

// The toolkit on the Windows user interface: the system's own boxes. It has
// no window of its own yet, so the chooser cannot open and says so.
class Win32Toolkit final : public Toolkit {
 public:
  Dialogs& dialogs() override {
    if (unattended_run()) return console_;
    if (!boxes_) boxes_ = make_win32_dialogs();
    return *boxes_;
  }
  bool has_display() override { return !unattended_run(); }

 private:
  std::unique_ptr<Dialogs> boxes_;
  ConsoleDialogs console_;
};

}  // namespace

std::unique_ptr<Toolkit> make_system_toolkit(int, char**) { return std::make_unique<Win32Toolkit>(); }

}  // namespace tarvo::ui
