#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"

namespace tarvo::test {

// What scripts/test-windows tells the tests in `variable`
// (TARVO_TEST_PRINTERS, TARVO_TEST_DEFAULT_PRINTER...).
inline std::string harness_value(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr) ADD_FAILURE() << variable << " is not set; run this through scripts/test-windows";
  return value ? value : "";
}

// The words of a text separated by blanks, sorted.
inline std::vector<std::string> sorted_words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  std::sort(words.begin(), words.end());
  return words;
}

// What the private CUPS server of scripts/test-windows captured for one of
// its queues: each job as <id>.prn (or .pdf) beside <id>.title, written
// whole and last. TARVO_TEST_CUPS_DIR names the server's folder.
class WineCaptures {
 public:
  explicit WineCaptures(const std::string& queue) : folder_(folder_of(queue)), before_(names()) {}

  // The data of the first job titled `title` captured since this object
  // was made; nullopt when none came within the time.
  std::optional<std::string> wait_for(const std::string& title,
                                      std::chrono::seconds timeout = std::chrono::seconds(30)) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    do {
      for (const std::string& name : names()) {
        if (before_.count(name) || !name.ends_with(".prn")) continue;
        const auto data = folder_ / name;
        if (read_file(std::filesystem::path(data).replace_extension(".title")) == title) return read_file(data);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
  }

 private:
  static std::filesystem::path folder_of(const std::string& queue) {
    const char* dir = std::getenv("TARVO_TEST_CUPS_DIR");
    return std::filesystem::path(dir != nullptr ? dir : "") / "out" / queue;
  }

  std::set<std::string> names() const {
    std::set<std::string> out;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec))
      out.insert(entry.path().filename().string());
    return out;
  }

  std::filesystem::path folder_;
  std::set<std::string> before_;
};

}  // namespace tarvo::test
