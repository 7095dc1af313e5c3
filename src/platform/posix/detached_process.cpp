#include "platform/detached_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/text.h"

extern char** environ;

namespace korvan::platform {

namespace {

// argv of `program` and `arguments`, kept alive by `storage`.
std::vector<char*> ArgumentVector(const std::wstring& program,
                                  const std::vector<std::wstring>& arguments,
                                  std::vector<std::string>& storage) {
  storage.push_back(NarrowFromWide(program));
  for (const std::wstring& argument : arguments) storage.push_back(NarrowFromWide(argument));
  std::vector<char*> vector;
  for (std::string& text : storage) vector.push_back(text.data());
  vector.push_back(nullptr);
  return vector;
}

// Between fork and exec only async-signal-safe calls: the process that
// forks may be multi-threaded (a VM still shutting down).
[[noreturn]] void BecomeDetached(char* const* argv, char* const* envp) {
  const int null_device = open("/dev/null", O_RDWR);
  if (null_device < 0) _exit(127);
  for (int stream = 0; stream < 3; ++stream) dup2(null_device, stream);
  // Nothing of ours stays open in it: a pipe on our standard output would
  // keep whoever reads it waiting for the assembly.
#ifdef SYS_close_range
  if (syscall(SYS_close_range, 3U, ~0U, 0U) != 0)
#endif
  {
    const long limit = sysconf(_SC_OPEN_MAX);
    for (long descriptor = 3; descriptor < (limit > 0 && limit < 65536 ? limit : 65536); ++descriptor) {
      close(static_cast<int>(descriptor));
    }
  }
  setpriority(PRIO_PROCESS, 0, 19);
  execve(argv[0], argv, envp);
  _exit(127);
}

}  // namespace

bool StartDetachedProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                          const std::wstring& variable, const std::wstring& value) {
  // Everything is made before the fork, which then only makes system calls.
  std::vector<std::string> storage;
  std::vector<char*> argv = ArgumentVector(program, arguments, storage);
  std::string assignment = NarrowFromWide(variable) + "=" + NarrowFromWide(value);
  const std::string prefix = NarrowFromWide(variable) + "=";
  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0) envp.push_back(*entry);
  }
  envp.push_back(assignment.data());
  envp.push_back(nullptr);

  const pid_t intermediate = fork();
  if (intermediate < 0) return false;
  if (intermediate == 0) {
    // A session of its own: no terminal's signals reach it. The intermediate
    // process ends at once, so the detached one is adopted and reaped by init.
    setsid();
    const pid_t detached = fork();
    if (detached == 0) BecomeDetached(argv.data(), envp.data());
    _exit(detached < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<int> RunProcessToEnd(const std::wstring& program,
                                   const std::vector<std::wstring>& arguments,
                                   unsigned limit_seconds) {
  std::vector<std::string> storage;
  std::vector<char*> argv = ArgumentVector(program, arguments, storage);
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
  const timespec step{0, 50 * 1000 * 1000};
  for (unsigned long waited_ms = 0;; waited_ms += 50) {
    int status = 0;
    const pid_t ended = waitpid(child, &status, WNOHANG);
    if (ended == child) {
      if (!WIFEXITED(status)) return std::nullopt;
      return WEXITSTATUS(status);
    }
    if (ended < 0 && errno != EINTR) return std::nullopt;
    if (waited_ms >= limit_seconds * 1000UL) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return std::nullopt;
    }
    nanosleep(&step, nullptr);
  }
}

}  // namespace korvan::platform
