#include "support/process_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

extern char** environ;

namespace korvan::e2e {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

std::vector<std::string> ProcessEnvironment(const ProcessOptions& options) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) continue;
    merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const std::string& name : options.unset) merged.erase(name);
  for (const auto& [name, value] : options.environment) merged[name] = value;
  std::vector<std::string> result;
  for (const auto& [name, value] : merged) result.push_back(name + "=" + value);
  return result;
}

ProcessResult RunProcess(const std::vector<std::string>& command, const ProcessOptions& options) {
  ProcessResult result;
  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  std::vector<std::string> arguments = command;
  std::vector<std::string> environment = ProcessEnvironment(options);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (spawned != 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    result.standard_error = "cannot start " + command[0] + ": " + std::strerror(spawned);
    return result;
  }

  const double deadline = Now() + options.time_limit_seconds;
  pollfd descriptors[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.standard_output, &result.standard_error};
  int open_pipes = 2;
  while (open_pipes > 0) {
    const int wait_ms = static_cast<int>(std::max(0.0, deadline - Now()) * 1000);
    if (wait_ms == 0) {
      result.timed_out = true;
      kill(-child, SIGKILL);
      break;
    }
    if (poll(descriptors, 2, wait_ms) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (descriptors[i].fd < 0 || descriptors[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t count = read(descriptors[i].fd, buffer, sizeof(buffer));
      if (count > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(count));
      } else {
        close(descriptors[i].fd);
        descriptors[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (pollfd& descriptor : descriptors) {
    if (descriptor.fd >= 0) close(descriptor.fd);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!result.timed_out && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace korvan::e2e
