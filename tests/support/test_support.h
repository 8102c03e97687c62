#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/messages.h"
#include "ui/dialogs.h"

namespace tarvo::test {

// Boxes answered by the test: every box is recorded; questions take the
// queued answers in turn (No when none is queued).
class ScriptedDialogs final : public ui::Dialogs {
 public:
  struct Shown {
    ui::Icon icon;
    std::string title;
    std::string text;
  };
  std::vector<Shown> shown;
  std::vector<bool> answers;
  std::vector<std::string> popups;
  ui::Point pointer{300, 200};
  ui::Point last_popup_at;

  void message(ui::Icon icon, std::string_view title, std::string_view text) override;
  bool ask_yes_no(std::string_view title, std::string_view text, bool default_yes) override;
  void tone(int, int) override {}
  void text_popup(std::string_view text, ui::Point at, std::string_view font) override;
  ui::Point pointer_position() override { return pointer; }
};

// Messages recorded as plain texts.
class RecordingMessages final : public Messages {
 public:
  std::vector<std::string> errors, alerts, questions;
  bool answer = false;
  void G_ERRO(const Value& message) override;
  void alert(std::string_view message) override { alerts.emplace_back(message); }
  bool G_CONF(std::string_view question, std::string_view) override {
    questions.emplace_back(question);
    return answer;
  }
};

// A fresh folder under the build tree, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path write(std::string_view name, std::string_view content) const;

 private:
  std::filesystem::path path_;
};

struct RunResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs the tarvousb binary with `args` in folder `cwd` and the environment
// changes `env` ("NAME=value" sets, "NAME" alone unsets). DISPLAY and
// WAYLAND_DISPLAY are unset unless `env` sets them. Linux only: under wine
// the program is run by tests/wine/check-program.
RunResult run_tarvousb(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                       const std::vector<std::string>& env = {}, int timeout_seconds = 120);

std::string read_file(const std::filesystem::path& path);

}  // namespace tarvo::test
