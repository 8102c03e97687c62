#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tests/support/private_cups.h"

namespace tarvo::test {

// What a command run against the private server prints.
inline std::string cups_command_output(const std::string& command) {
  const std::string full = "CUPS_SERVER='" + PrivateCups::instance().socket() + "' " + command + " 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(full.c_str(), "r"), ::pclose);
  std::string out;
  if (!pipe) return out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;) out.append(buf, n);
  return out;
}

// The jobs still queued or printing on `queue`, as lpstat lists them.
inline std::string queued_jobs(const std::string& queue) {
  return cups_command_output("lpstat -o '" + queue + "'");
}

}  // namespace tarvo::test
