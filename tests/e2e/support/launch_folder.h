#pragma once
// A temporary folder holding a copy of a real launcher under a chosen name,
// its settings file and whatever else a test lays beside it. Each test runs
// against both targets: the Linux launcher natively, the Windows one under Wine.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process_run.h"

namespace korvan::e2e {

enum class TargetKind { Linux, Windows };

struct Target {
  TargetKind kind;
  std::string name;
  bool arm64 = false;  // the Linux ARM64 launcher (build/linux-arm64), run under qemu-user
};

std::vector<Target> AllTargets();

// The Linux build under test, by default the one these tests belong to:
// KORVAN_LINUX_BUILD_DIR names another (scripts/run-sanitized runs these
// tests against its sanitized launcher and tools).
std::filesystem::path LinuxBuildDir();
std::string TargetName(const testing::TestParamInfo<Target>& info);

// Why `target` cannot run here, or "" when it can: the Windows target needs
// build/windows/korvan.exe and Wine, in the session of scripts/run-tests; ARM64
// build/linux-arm64/korvan and qemu-aarch64-static.
std::string WhyNotRunnable(const Target& target);
// The command that runs `program`, a Linux program of the target's machine
// (under qemu-user for ARM64), with `arguments`.
std::vector<std::string> MachineCommand(const Target& target, const std::string& program,
                                        const std::vector<std::string>& arguments = {});

#define KORVAN_SKIP_UNLESS_RUNNABLE(target) \
  if (const std::string why = WhyNotRunnable(target); !why.empty()) GTEST_SKIP() << why

// A test run against each target, skipped with the reason where its target cannot run.
class TargetTest : public testing::TestWithParam<Target> {
 protected:
  void SetUp() override { KORVAN_SKIP_UNLESS_RUNNABLE(GetParam()); }
};

class LaunchFolder {
 public:
  // `launcher_name` without extension; the Windows copy gets ".exe".
  explicit LaunchFolder(const Target& target, const std::string& launcher_name = "App");
  ~LaunchFolder();
  LaunchFolder(const LaunchFolder&) = delete;
  LaunchFolder& operator=(const LaunchFolder&) = delete;

  const Target& target() const { return target_; }
  bool windows() const { return target_.kind == TargetKind::Windows; }
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path launcher() const { return folder_ / launcher_file_; }

  // The settings file beside the launcher. Line ends become CR LF on Windows.
  void WriteSettings(const std::string& ini_text) const;
  // The same for text beyond the ANSI code page: UTF-16LE with a byte order
  // mark on Windows, as such settings files are saved there; UTF-8 on Linux.
  void WriteUnicodeSettings(const std::string& utf8_ini_text) const;
  std::filesystem::path SettingsFile() const;

  // A file below the folder (folders are made as needed); text is written as given.
  void WriteFile(const std::string& relative, const std::string& content) const;

  // How the launcher itself sees a path below the folder: Z:\... under Wine.
  std::string NativePath(const std::string& relative = "") const;

  // Text as the launcher writes it to standard output: "\n" becomes "\r\n" on Windows.
  std::string Lines(const std::string& text) const;

  // What the launcher wrote as error lines: standard output on Windows;
  // standard error without its "korvan: " trace and detail lines on Linux.
  std::string ErrorOutput(const ProcessResult& result) const;

  ProcessResult Run(const std::vector<std::string>& arguments = {},
                    ProcessOptions options = {}) const;
  // The command line that runs the Linux launcher with `arguments`.
  std::vector<std::string> Command(const std::vector<std::string>& arguments = {}) const;

 private:
  Target target_;
  std::filesystem::path folder_;
  std::string launcher_file_;
};

// Runs the stamping tool of the folder's target (the Windows one under Wine)
// with `options` on the folder's launcher, then on `input_name` below the
// folder when one is named.
ProcessResult StampLauncher(const LaunchFolder& folder, std::vector<std::string> options,
                            const std::string& input_name = "");

// A Windows path (Z:\...) for a Linux path, as Wine maps the root file system.
std::string WinePath(const std::filesystem::path& path);

// Runs a Windows program (a path, or a name Wine knows such as "reg") under
// Wine in the test session's prefix, once. sc's reason for a failure (the
// call that failed and its error code) reaches standard error.
ProcessResult RunUnderWine(const std::vector<std::string>& command, ProcessOptions options = {});

}  // namespace korvan::e2e
