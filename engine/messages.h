#pragma once

#include <string_view>

#include "runtime/runtime_error.h"
#include "runtime/value.h"

namespace tarvo {

// Said wherever the print server took the connection but stopped answering.
inline constexpr std::string_view kServidorSemResposta = "O servidor de impressão não respondeu";

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
  // The report of a runtime error: the stop box with describe()'s text. The
  // one place a runtime error reaches the user; the job that raised it ends.
  virtual void runtime_error(const RuntimeError& error) { G_ERRO(Value(describe(error))); }
};

}  // namespace tarvo
