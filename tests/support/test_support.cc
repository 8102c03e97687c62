#include "tests/support/test_support.h"

#include <atomic>
#include <fstream>
#include <iterator>

#include "runtime/process.h"
#include "runtime/text.h"

namespace tarvo::test {

void ScriptedDialogs::message(ui::Icon icon, std::string_view title, std::string_view text) {
  shown.push_back({icon, std::string(title), std::string(text)});
}

bool ScriptedDialogs::ask_yes_no(std::string_view title, std::string_view text, bool) {
  shown.push_back({ui::Icon::question, std::string(title), std::string(text)});
  if (answers.empty()) return false;
  const bool a = answers.front();
  answers.erase(answers.begin());
  return a;
}

void ScriptedDialogs::text_popup(std::string_view text, ui::Point at, std::string_view) {
  popups.emplace_back(text);
  last_popup_at = at;
}

void RecordingMessages::G_ERRO(const Value& message) {
  errors.push_back(display_text(message, RunSettings{}));
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::path(TARVO_BINARY_DIR) / "test-tmp" /
          (std::to_string(process_id()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view content) const {
  const auto p = path_ / std::string(name);
  std::ofstream out(p, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return p;
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tarvo::test
