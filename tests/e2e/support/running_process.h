#pragma once
// A process that a test starts and then talks to while it runs: it waits for
// text in its output, sends it signals, and waits for its end. Standard output
// and error go to files, so they can be read at any time.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process_run.h"

namespace korvan::e2e {

class RunningProcess {
 public:
  // Starts `command`; `output_folder` receives stdout.txt and stderr.txt.
  RunningProcess(const std::vector<std::string>& command, const ProcessOptions& options,
                 const std::filesystem::path& output_folder);
  // Kills the process if it still runs.
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;

  bool started() const { return pid_ > 0; }
  std::string Output() const;
  std::string Errors() const;
  // True once standard output holds `text`; false after `seconds`.
  bool WaitForOutput(const std::string& text, double seconds) const;
  void Signal(int signal_number) const;
  // The exit code (0 to 255); -1 when it ended by a signal or was killed
  // after `seconds`.
  int Wait(double seconds);

 private:
  pid_t pid_ = -1;
  std::filesystem::path folder_;
};

// True once `file` exists, false after `seconds`.
bool WaitForFile(const std::filesystem::path& file, double seconds);

}  // namespace korvan::e2e
