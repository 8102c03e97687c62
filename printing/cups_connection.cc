#include "printing/cups_connection.h"

#include <cstdlib>
#include <fstream>

#include "runtime/text.h"

namespace tarvo::cups {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(trim(value)) : std::string();
}

// The destination of the "Default name[/instance] options..." line.
std::string default_in_lpoptions(const std::string& path) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::string_view rest = ltrim(line);
    if (rest.size() < 8 || upper(rest.substr(0, 7)) != "DEFAULT" || (rest[7] != ' ' && rest[7] != '\t'))
      continue;
    rest = ltrim(rest.substr(8));
    return std::string(rest.substr(0, rest.find_first_of(" \t")));
  }
  return {};
}

}  // namespace

Http connect_server() {
  constexpr int kTimeoutMs = 30000;
  return Http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           kTimeoutMs, nullptr));
}

DestName split_dest_name(std::string_view name) {
  const auto slash = name.find('/');
  if (slash == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, slash)), std::string(name.substr(slash + 1))};
}

Dest find_dest(http_t* http, std::string_view name) {
  const DestName parts = split_dest_name(name);
  if (parts.queue.empty()) return nullptr;
  return Dest(cupsGetNamedDest(http, parts.queue.c_str(),
                               parts.instance.empty() ? nullptr : parts.instance.c_str()));
}

std::string dest_name(const cups_dest_t& dest) {
  std::string name = dest.name;
  if (dest.instance != nullptr) name += std::string("/") + dest.instance;
  return name;
}

std::string configured_default_name() {
  if (std::string name = env("LPDEST"); !name.empty()) return name;
  if (std::string name = env("PRINTER"); !name.empty() && name != "lp") return name;
  if (std::string home = env("HOME"); !home.empty())
    if (std::string name = default_in_lpoptions(home + "/.cups/lpoptions"); !name.empty()) return name;
  std::string server_root = env("CUPS_SERVERROOT");
  if (server_root.empty()) server_root = "/etc/cups";
  return default_in_lpoptions(server_root + "/lpoptions");
}

}  // namespace tarvo::cups
