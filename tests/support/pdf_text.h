#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace tarvo::test {

// What a shell command prints, standard error included.
inline std::string run_command(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
  std::string out;
  char buf[4096];
  for (std::size_t n; pipe && (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;) out.append(buf, n);
  return out;
}

// A word as a PDF reader finds it on a page, in points from the top-left
// corner.
struct Word {
  int page;
  double x_min, y_min, x_max, y_max;
  std::string text;
};

inline int pdf_pages(const std::filesystem::path& pdf) {
  std::smatch m;
  const std::string info = run_command("pdfinfo '" + pdf.string() + "'");
  return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

inline std::vector<Word> pdf_words(const std::filesystem::path& pdf) {
  const std::string html = run_command("pdftotext -bbox '" + pdf.string() + "' -");
  std::vector<Word> words;
  int page = 0;
  const std::regex token(
      R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(html.begin(), html.end(), token), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (m[0].str() == "<page ") {
      ++page;
      continue;
    }
    words.push_back({page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
  }
  return words;
}

}  // namespace tarvo::test
