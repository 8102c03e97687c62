#include "component/remittance_sequence.h"

#include <fstream>
#include <string_view>
#include <sstream>

#include "component/component_error.h"

namespace tarvo::component {

FileSequence::FileSequence(std::string label, const std::string& name, std::int64_t max)
    : label_(std::move(label)), max_(max) {
  const std::filesystem::path dir = state_directory();
  if (dir.empty())
    fail(label_, "ARQUIVOREMESSA",
         "não há pasta para guardar o número sequencial da remessa (defina " + state_directory_variables() + ")");
  path_ = dir / name;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  try {
    lock_.emplace(with_suffix(path_, ".lock"));
  } catch (const std::system_error& e) {
    fail(label_, "ARQUIVOREMESSA",
         "o número sequencial da remessa não pôde ser reservado em " + dir.string() + ": " + describe(e.code()));
  }
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    if (std::filesystem::exists(path_, ec))
      fail(label_, "ARQUIVOREMESSA", "o número sequencial da remessa não pôde ser lido de " + path_.string());
    return;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const std::string content = text.str();
  std::string_view kept = content;
  while (!kept.empty() && (kept.back() == '\n' || kept.back() == '\r' || kept.back() == ' ')) kept.remove_suffix(1);
  const bool digits = !kept.empty() && kept.size() <= 18 && kept.find_first_not_of("0123456789") == std::string_view::npos;
  if (!digits)
    fail(label_, "ARQUIVOREMESSA",
         "o arquivo " + path_.string() + " devia guardar o próximo número sequencial da remessa, e guarda \"" +
             std::string(kept.substr(0, 20)) + "\"");
  next_ = std::stoll(std::string(kept));
  if (next_ < 1 || next_ > max_) next_ = 1;
}

void FileSequence::advance() { replace_file(path_, std::to_string(next_ >= max_ ? 1 : next_ + 1) + "\n"); }

}  // namespace tarvo::component
