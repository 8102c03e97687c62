#include <windows.h>

#include <system_error>

#include "component/account_profile.h"

namespace tarvo::component {
namespace {

// A variable of the environment as Windows keeps it, in UTF-16.
std::wstring env(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace

// %TARVOUSB_CONTAS%, else the user's profile under %APPDATA%, else the
// machine's under %PROGRAMDATA% (where the installer puts the example).
std::filesystem::path profile_path() {
  if (const std::wstring explicit_path = env(L"TARVOUSB_CONTAS"); !explicit_path.empty()) return explicit_path;
  if (const std::wstring appdata = env(L"APPDATA"); !appdata.empty()) {
    const auto user = std::filesystem::path(appdata) / L"tarvousb" / L"contas.conf";
    std::error_code ec;
    if (std::filesystem::exists(user, ec)) return user;
  }
  std::wstring machine = env(L"PROGRAMDATA");
  if (machine.empty()) machine = L"C:\\ProgramData";
  return std::filesystem::path(machine) / L"tarvousb" / L"contas.conf";
}

}  // namespace tarvo::component
