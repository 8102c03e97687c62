#include <cstdlib>
#include <system_error>

#include "component/account_profile.h"

namespace tarvo::component {
namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

std::filesystem::path profile_path() {
  if (const std::string explicit_path = env("TARVOUSB_CONTAS"); !explicit_path.empty()) return explicit_path;
  std::filesystem::path config = env("XDG_CONFIG_HOME");
  if (config.empty() && !env("HOME").empty()) config = std::filesystem::path(env("HOME")) / ".config";
  if (!config.empty()) {
    const auto user = config / "tarvousb" / "contas.conf";
    std::error_code ec;
    if (std::filesystem::exists(user, ec)) return user;
  }
  return "/etc/tarvousb/contas.conf";
}

}  // namespace tarvo::component
