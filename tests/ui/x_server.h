#pragma once

#include <string>
#include <sys/types.h>

namespace tarvo::test {

// A private X server (Xvfb) for one test, on a display number it picks for
// itself, stopped when the object goes.
class XServer {
 public:
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  const std::string& display() const { return display_; }
  // "DISPLAY=..." for a child process's environment.
  std::string env() const { return "DISPLAY=" + display_; }
  // Starts a window manager (openbox) on this server and waits until it
  // manages windows; it is stopped with the server.
  void start_window_manager();
  // Runs a shell command as a client of this server; gives its standard
  // output without the last line break, and its exit status in `status`.
  std::string client(const std::string& command, int* status = nullptr) const;

 private:
  pid_t pid_ = -1;
  pid_t window_manager_ = -1;
  std::string display_;
};

}  // namespace tarvo::test
