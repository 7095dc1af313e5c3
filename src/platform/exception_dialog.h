#pragma once
// Telling the user that the application's main ended with an uncaught Java
// exception. Windows shows the "Java Exception" dialog with the stack trace;
// other systems show nothing (the VM has already described the exception on
// standard error).

#include <string>

namespace korvan::platform {

enum class ExceptionDecision {
  Ignore,  // let the run end as it would
  Stop,    // end the process at once
};

// Shows `stack_trace` and waits for the user's decision; Ignore where no
// dialog exists.
ExceptionDecision AskAboutUncaughtException(const std::wstring& stack_trace);

// Ends the process at once with `exit_code`, flushing standard output.
[[noreturn]] void EndProcessNow(int exit_code);

}  // namespace korvan::platform
