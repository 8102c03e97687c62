#include "tests/support/test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

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
          (std::to_string(::getpid()) + "-" + std::to_string(counter++));
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

RunResult run_tarvousb(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                       const std::vector<std::string>& env, int timeout_seconds) {
  TempDir io;
  const auto out_path = io.path() / "stdout";
  const auto err_path = io.path() / "stderr";
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    // The tests read standard error whole: the list of leak suppressions a
    // sanitizer build prints at exit (the font library's, whenever pages
    // were drawn) must not join it.
    if (const char* lsan = std::getenv("LSAN_OPTIONS"))
      ::setenv("LSAN_OPTIONS", (std::string(lsan) + ":print_suppressions=0").c_str(), 1);
    for (const std::string& e : env) {
      const auto eq = e.find('=');
      if (eq == std::string::npos)
        ::unsetenv(e.c_str());
      else
        ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    const int o = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int r = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int n = ::open("/dev/null", O_RDONLY);
    ::dup2(o, 1);
    ::dup2(r, 2);
    ::dup2(n, 0);
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    std::vector<char*> argv;
    std::string bin = TARVOUSB_BINARY;
    argv.push_back(bin.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::alarm(static_cast<unsigned>(timeout_seconds));
    ::execv(bin.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  RunResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

}  // namespace tarvo::test
