#include "platform/exception_dialog.h"

#include <cstdio>
#include <cstdlib>

namespace korvan::platform {

ExceptionDecision AskAboutUncaughtException(const std::wstring&) {
  return ExceptionDecision::Ignore;
}

void EndProcessNow(int exit_code) {
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

}  // namespace korvan::platform
