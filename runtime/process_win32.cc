#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "runtime/process.h"
#include "runtime/wide_text.h"

namespace tarvo {

std::string program_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "tarvousb";
    if (length < path.size()) {
      path.resize(length);
      return utf8_from_wide(path);
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

LocalTime local_time_now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

long process_id() { return static_cast<long>(GetCurrentProcessId()); }

// The command line in the local code page (argv) loses every character
// outside it; the Unicode one keeps a path whole.
std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                           &LocalFree);
  std::vector<std::string> args;
  if (!wide) {
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
  }
  for (int i = 1; i < count; ++i) args.push_back(utf8_from_wide(wide.get()[i]));
  return args;
}

}  // namespace tarvo
