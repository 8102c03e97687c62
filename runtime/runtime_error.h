#pragma once

#include <stdexcept>
#include <string>

namespace tarvo {

// A runtime error of the language runtime: a value of the wrong kind, a
// missing variable, an invalid name, a failure of an automation object. It is
// thrown where it happens and turned into the user's stop box in one place
// (Messages::runtime_error, with describe()'s text). Texts are UTF-8.
struct RuntimeError : std::exception {
  enum class Severity { warning = 1, error = 2 };

  int gencode = 1001;            // general code
  int subcode = 0;               // subsystem's own code
  Severity severity = Severity::error;
  std::string subsystem = "BASE";
  std::string description;       // what went wrong
  std::string operation;         // what was being done: a member, a variable

  const char* what() const noexcept override { return description.c_str(); }
};

// The report a person reads: Portuguese, one fact per line.
std::string describe(const RuntimeError& error);

}  // namespace tarvo
