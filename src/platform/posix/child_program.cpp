#include "platform/child_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text.h"

extern char** environ;

namespace korvan::platform {

ProgramExit RunProgram(const std::vector<std::wstring>& command, const std::wstring& working_folder,
                       const std::wstring& output_file) {
  ProgramExit result;
  if (command.empty()) return result;
  std::vector<std::string> narrow;
  for (const std::wstring& argument : command) narrow.push_back(NarrowFromWide(argument));
  std::vector<char*> argv;
  for (std::string& argument : narrow) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string folder = NarrowFromWide(working_folder);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  const std::string output = NarrowFromWide(output_file);
  if (!output.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  pid_t child = 0;
  const int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    result.error = static_cast<std::uint32_t>(error);
    result.not_found = error == ENOENT;
    return result;
  }
  result.started = true;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace korvan::platform
