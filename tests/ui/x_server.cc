#include "tests/ui/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tarvo::test {

XServer::XServer() {
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::close(fds[0]);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    const std::string fd = std::to_string(fds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  // Xvfb writes the display number to the pipe once it accepts clients.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("Xvfb did not start");
  }
  display_ = ":" + number;
}

namespace {
void stop(pid_t pid) {
  if (pid > 0) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
}
}  // namespace

XServer::~XServer() {
  stop(window_manager_);
  stop(pid_);
}

void XServer::start_window_manager() {
  window_manager_ = ::fork();
  if (window_manager_ < 0) throw std::runtime_error("fork failed");
  if (window_manager_ == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::setenv("DISPLAY", display_.c_str(), 1);
    ::execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // A window manager announces itself on the root window.
  for (int i = 0; i < 100; ++i) {
    if (client("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos) return;
    ::usleep(50'000);
  }
  throw std::runtime_error("openbox did not start");
}

std::string XServer::client(const std::string& command, int* status) const {
  const std::string line = "DISPLAY=" + display_ + " " + command;
  FILE* pipe = ::popen(line.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("popen failed");
  std::string out;
  std::array<char, 512> buf{};
  for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
  const int rc = ::pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace tarvo::test
