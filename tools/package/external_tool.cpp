#include "external_tool.h"

#include <cstdio>

#include "platform/child_program.h"

namespace korvan::package {

bool RunTool(const std::vector<std::wstring>& command, const std::wstring& debian_package,
             std::wstring& error, const std::wstring& working_folder, const std::wstring& output_file) {
  std::fflush(stdout);
  const platform::ProgramExit exit = platform::RunProgram(command, working_folder, output_file);
  if (exit.not_found) {
    error = command[0] + L" is not on the PATH: install it (Debian package " + debian_package + L")";
    return false;
  }
  if (!exit.started) {
    error = command[0] + L" could not start (error " + std::to_wstring(exit.error) + L")";
    return false;
  }
  if (exit.exit_code != 0) {
    error = command[0] + L" failed with exit code " + std::to_wstring(exit.exit_code);
    return false;
  }
  return true;
}

}  // namespace korvan::package
