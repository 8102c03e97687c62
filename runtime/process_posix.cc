#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <system_error>

#include "runtime/process.h"

namespace tarvo {

std::string program_path() {
  std::error_code ec;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("tarvousb") : path.string();
}

LocalTime local_time_now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

long process_id() { return static_cast<long>(::getpid()); }

// Paths are bytes here: they are passed on as they came.
std::vector<std::string> program_arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

}  // namespace tarvo
