#include "platform/thread.h"

#include <windows.h>

namespace korvan::platform {

namespace {

struct ThreadCall {
  ThreadWork work;
  void* context;
};

DWORD WINAPI ThreadMain(LPVOID argument) {
  const auto* call = static_cast<const ThreadCall*>(argument);
  return static_cast<DWORD>(call->work(call->context));
}

}  // namespace

std::optional<int> RunOnNewThread(ThreadWork work, void* context, std::uint64_t stack_size) {
  if (stack_size > SIZE_MAX) return std::nullopt;
  ThreadCall call{work, context};
  // The size is the stack's reservation, as a Java thread's stack size means:
  // committing it all up front would take that much memory at once.
  HANDLE thread = CreateThread(nullptr, static_cast<SIZE_T>(stack_size), ThreadMain, &call,
                               stack_size != 0 ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
  if (thread == nullptr) return std::nullopt;
  WaitForSingleObject(thread, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  return static_cast<int>(code);
}

}  // namespace korvan::platform
