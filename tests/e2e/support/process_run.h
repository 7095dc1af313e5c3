#pragma once
// Runs a program with arguments and extra environment, capturing standard
// output and error separately, until the program ends (not until every
// process that inherited its pipes does). A run that outlives its time limit is killed
// and reported as timed out, so a hanging launcher fails a test instead of
// stalling the suite.

#include <map>
#include <string>
#include <vector>

namespace korvan::e2e {

struct ProcessResult {
  std::string standard_output;
  std::string standard_error;
  int exit_code = -1;      // as the shell sees it (0 to 255); -1 when killed
  bool timed_out = false;
};

struct ProcessOptions {
  std::string working_directory;                 // empty: the test's own
  std::map<std::string, std::string> environment;  // added to (or replacing in) ours
  std::vector<std::string> unset;                // removed from ours
  int time_limit_seconds = 60;
  // Windows launcher only: a user who cancels the missing-runtime dialog
  // whenever it comes up, as tests that only need the launch to fail after
  // reading its settings expect. Tests of the dialog itself turn this off.
  bool cancel_missing_runtime_dialog = true;
};

// Our environment with `options` applied, as NAME=value entries.
std::vector<std::string> ProcessEnvironment(const ProcessOptions& options);

ProcessResult RunProcess(const std::vector<std::string>& command, const ProcessOptions& options);

}  // namespace korvan::e2e
