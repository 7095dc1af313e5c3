#pragma once
// Other programs that the tools start and wait for, such as the signing and
// installer tools of the build machine.

#include <cstdint>
#include <string>
#include <vector>

namespace korvan::platform {

struct ProgramExit {
  bool started = false;     // false: it could not start (see error), e.g. it is not installed
  bool not_found = false;   // it could not start because no such program was found
  int exit_code = -1;       // its exit code, or -1 when a signal ended it
  std::uint32_t error = 0;  // the system's error code when it could not start
};

// Starts `command[0]`, found through the PATH when it names no folder, with
// the rest as its arguments, in `working_folder` (ours when empty), and waits
// for it to end. It shares our standard streams and environment, but for its
// standard output when `output_file` names a file to write it into (made
// anew, readable by the user only). Safe to call from several threads at once.
ProgramExit RunProgram(const std::vector<std::wstring>& command,
                       const std::wstring& working_folder = std::wstring(),
                       const std::wstring& output_file = std::wstring());

}  // namespace korvan::platform
