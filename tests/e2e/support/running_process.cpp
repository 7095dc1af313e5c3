#include "support/running_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace korvan::e2e {

namespace {

std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

template <typename Condition>
bool Poll(double seconds, Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace

RunningProcess::RunningProcess(const std::vector<std::string>& command,
                               const ProcessOptions& options,
                               const std::filesystem::path& output_folder)
    : folder_(output_folder) {
  std::vector<std::string> environment = ProcessEnvironment(options);
  std::vector<std::string> arguments = command;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  const std::string out = (folder_ / "stdout.txt").string();
  const std::string err = (folder_ / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // The test's own signal mask and handlers are not the launcher's business.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }
  pid_t child = -1;
  if (posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), envp.data()) == 0) {
    pid_ = child;
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
}

RunningProcess::~RunningProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

std::string RunningProcess::Output() const { return ReadFileText(folder_ / "stdout.txt"); }

std::string RunningProcess::Errors() const { return ReadFileText(folder_ / "stderr.txt"); }

bool RunningProcess::WaitForOutput(const std::string& text, double seconds) const {
  return Poll(seconds, [&] { return Output().find(text) != std::string::npos; });
}

void RunningProcess::Signal(int signal_number) const {
  if (pid_ > 0) kill(pid_, signal_number);
}

int RunningProcess::Wait(double seconds) {
  if (pid_ <= 0) return -1;
  int status = 0;
  const bool ended = Poll(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
  if (!ended) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
  return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitForFile(const std::filesystem::path& file, double seconds) {
  return Poll(seconds, [&] { return std::filesystem::exists(file); });
}

}  // namespace korvan::e2e
