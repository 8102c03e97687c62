#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/support/test_support.h"

namespace tarvo::test {

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
