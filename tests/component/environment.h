#pragma once

#include <cstdlib>
#include <filesystem>

namespace tarvo::component::test {

// The variable under which the program keeps its state folder.
#ifdef _WIN32
inline constexpr const char* kStateVariable = "LOCALAPPDATA";
#else
inline constexpr const char* kStateVariable = "XDG_STATE_HOME";
#endif

// Sets or removes a variable of this process's environment, where the
// program's own look-ups see it (on Windows, its wide environment too).
inline void set_env(const char* name, const std::filesystem::path& value) {
#ifdef _WIN32
  _wputenv_s(std::filesystem::path(name).c_str(), value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void unset_env(const char* name) {
#ifdef _WIN32
  _wputenv_s(std::filesystem::path(name).c_str(), L"");
#else
  ::unsetenv(name);
#endif
}

}  // namespace tarvo::component::test
