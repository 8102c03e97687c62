#include "tests/support/private_cups.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "tests/support/test_support.h"

namespace tarvo::test {
namespace {

const std::string kScript = std::string(TARVO_SOURCE_DIR) + "/scripts/private-cups";

std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

void must(const std::string& cmd) {
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("command failed: " + cmd);
}

}  // namespace

std::string CapturedJob::bytes() const { return read_file(data); }

PrivateCups& PrivateCups::instance() {
  static PrivateCups server;
  return server;
}

PrivateCups::PrivateCups() {
  if (const char* d = std::getenv("TARVO_TEST_CUPS_DIR"); d != nullptr && *d != '\0') {
    dir_ = d;
  } else {
    dir_ = std::filesystem::path(TARVO_BINARY_DIR) / "test-tmp" / ("cups-" + std::to_string(::getpid()));
    own_ = true;
  }
  must(kScript + " start " + quote(dir_.string()) + " >/dev/null");
  ::setenv("CUPS_SERVER", socket().c_str(), 1);
}

PrivateCups::~PrivateCups() {
  if (own_) {
    const std::string cmd = kScript + " stop " + quote(dir_.string());
    if (std::system(cmd.c_str()) == 0) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
    }
  }
}

std::filesystem::path PrivateCups::capture_dir(const std::string& queue) const {
  return dir_ / "out" / queue;
}

void PrivateCups::add_queue(const std::string& name) {
  std::error_code ec;
  std::filesystem::remove_all(capture_dir(name), ec);
  must(kScript + " add " + quote(dir_.string()) + " " + quote(name) + " " +
       quote(capture_dir(name).string()));
}

void PrivateCups::add_driverless_queue(const std::string& name) {
  must(kScript + " driverless " + quote(dir_.string()) + " " + quote(name) + " >/dev/null");
}

void PrivateCups::unstick_driverless(const std::string& name) {
  must(kScript + " unstick " + quote(dir_.string()) + " " + quote(name));
}

std::vector<std::filesystem::path> PrivateCups::wait_for_driverless_documents(const std::string& name,
                                                                              std::size_t count,
                                                                              std::chrono::seconds timeout) const {
  const auto spool = dir_ / "driverless" / name / "spool";
  const std::string busy = "CUPS_SERVER=" + quote(socket()) + " lpstat -o " + quote(name) + " 2>/dev/null | grep -q .";
  const auto until = std::chrono::steady_clock::now() + timeout;
  std::vector<std::filesystem::path> found;
  for (;;) {
    found.clear();
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(spool, ec)) found.push_back(e.path());
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
      return std::atol(a.filename().c_str()) < std::atol(b.filename().c_str());
    });
    const bool idle = std::system(busy.c_str()) != 0;
    if ((found.size() >= count && idle) || std::chrono::steady_clock::now() >= until) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

void PrivateCups::remove_queue(const std::string& name) { run("lpadmin -x " + quote(name)); }

void PrivateCups::set_server_default(const std::string& name) {
  must(kScript + " default " + quote(dir_.string()) + " " + quote(name));
}

void PrivateCups::run(const std::string& shell_command) {
  must("CUPS_SERVER=" + quote(socket()) + " " + shell_command + " >/dev/null 2>&1");
}

std::vector<CapturedJob> PrivateCups::jobs(const std::string& queue) const {
  std::vector<std::pair<long, CapturedJob>> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(capture_dir(queue), ec)) {
    const auto ext = e.path().extension();
    if (ext != ".pdf" && ext != ".prn") continue;
    const auto stem = e.path().stem().string();
    if (stem.empty() || stem[0] == '.') continue;
    CapturedJob job;
    job.data = e.path();
    auto side = e.path();
    job.title = read_file(side.replace_extension(".title"));
    job.options = read_file(side.replace_extension(".options"));
    found.emplace_back(std::atol(stem.c_str()), std::move(job));
  }
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::vector<CapturedJob> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

std::vector<CapturedJob> PrivateCups::wait_for_jobs(const std::string& queue, std::size_t count,
                                                    std::chrono::seconds timeout) const {
  const auto until = std::chrono::steady_clock::now() + timeout;
  auto found = jobs(queue);
  while (found.size() < count && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    found = jobs(queue);
  }
  return found;
}

void PrivateCups::wait_idle(std::chrono::seconds timeout) const {
  const auto until = std::chrono::steady_clock::now() + timeout;
  const std::string cmd = "CUPS_SERVER=" + quote(socket()) + " lpstat -o 2>/dev/null | grep -q .";
  while (std::chrono::steady_clock::now() < until && std::system(cmd.c_str()) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace tarvo::test
