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

  // The run ends when the process does. Waiting for the pipes to close is not
  // enough under Wine: a process that it starts on the program's behalf
  // inherits the program's standard error and may outlive it.
  const double deadline = Now() + options.time_limit_seconds;
  pollfd descriptors[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.standard_output, &result.standard_error};
  int open_pipes = 2;
  int status = 0;
  bool ended = false;
  while (open_pipes > 0 && !ended) {
    const int wait_ms = static_cast<int>(std::max(0.0, deadline - Now()) * 1000);
    if (wait_ms == 0) {
      result.timed_out = true;
      kill(-child, SIGKILL);
      break;
    }
    ended = waitpid(child, &status, WNOHANG) == child;
    // What the process wrote before it ended is in the pipes: read it all.
    if (ended) {
      for (pollfd& descriptor : descriptors) {
        if (descriptor.fd >= 0) fcntl(descriptor.fd, F_SETFL, O_NONBLOCK);
      }
    } else if (poll(descriptors, 2, std::min(wait_ms, 100)) <= 0) {
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (descriptors[i].fd < 0 || (!ended && descriptors[i].revents == 0)) continue;
      char buffer[65536];
      ssize_t count = 0;
      while ((count = read(descriptors[i].fd, buffer, sizeof(buffer))) > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(count));
        if (!ended) break;
      }
      if (count == 0) {
        close(descriptors[i].fd);
        descriptors[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (pollfd& descriptor : descriptors) {
    if (descriptor.fd >= 0) close(descriptor.fd);
  }
  if (!ended) waitpid(child, &status, 0);
  if (!result.timed_out && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace korvan::e2e
