#pragma once

#include <string_view>

#include "runtime/value.h"

namespace tarvo {

// The message boxes through which the engine talks to the user. The launcher
// provides them (its stop box and yes/no question); tests provide their own.
class Messages {
 public:
  virtual ~Messages() = default;
  // The stop box: a value shown as the program shows values.
  virtual void G_ERRO(const Value& message) = 0;
  // The alert box (exclamation icon, OK).
  virtual void alert(std::string_view message) = 0;
  // The yes/no question; `default_answer` "S" makes Yes the default.
  virtual bool G_CONF(std::string_view question, std::string_view default_answer = "N") = 0;
};

}  // namespace tarvo
