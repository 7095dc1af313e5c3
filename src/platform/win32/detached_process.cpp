#include "platform/detached_process.h"

#include <windows.h>

namespace korvan::platform {

namespace {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Paths hold no double quote, and a quoted one ending in a backslash is not
// asked for: plain quotes split as the C run-time and the launcher split.
std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring line = L"\"" + program + L"\"";
  for (const std::wstring& argument : arguments) line += L" \"" + argument + L"\"";
  return line;
}

// A console of its own without a window (a console program started without
// one would open a window), no handle of ours inherited, idle priority: the
// user's console and the user's next start see nothing of it. Programs it
// starts share its hidden console.
std::optional<PROCESS_INFORMATION> StartQuietly(const std::wstring& program,
                                                const std::vector<std::wstring>& arguments,
                                                DWORD flags) {
  std::wstring line = CommandLine(program, arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                      flags | IDLE_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr,
                      &startup, &process)) {
    return std::nullopt;
  }
  return process;
}

}  // namespace

bool StartDetachedProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                          const std::wstring& variable, const std::wstring& value) {
  // The variable is ours only for the moment of the start, which copies the
  // environment.
  if (!SetEnvironmentVariableW(variable.c_str(), value.c_str())) return false;
  const std::optional<PROCESS_INFORMATION> process =
      StartQuietly(program, arguments, CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP);
  SetEnvironmentVariableW(variable.c_str(), nullptr);
  if (!process) return false;
  CloseHandle(process->hThread);
  CloseHandle(process->hProcess);
  return true;
}

std::optional<int> RunProcessToEnd(const std::wstring& program,
                                   const std::vector<std::wstring>& arguments,
                                   unsigned limit_seconds) {
  const std::optional<PROCESS_INFORMATION> started = StartQuietly(program, arguments, 0);
  if (!started) return std::nullopt;
  CloseHandle(started->hThread);
  const OwnedHandle process(started->hProcess);
  if (WaitForSingleObject(process.get(), limit_seconds * 1000) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), INFINITE);
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return std::nullopt;
  return static_cast<int>(code);
}

}  // namespace korvan::platform
