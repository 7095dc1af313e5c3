#include "support/launch_folder.h"

#include <chrono>
#include <future>

#include "support/dialog_driver.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace korvan::e2e {

namespace fs = std::filesystem;

std::vector<Target> AllTargets() {
  return {Target{TargetKind::Linux, "Linux"}, Target{TargetKind::Windows, "Windows"}};
}

std::string TargetName(const testing::TestParamInfo<Target>& info) { return info.param.name; }

namespace {

fs::path LauncherBuild(TargetKind kind) {
  if (kind == TargetKind::Linux) return KORVAN_LINUX_LAUNCHER;
  return fs::path(KORVAN_WINDOWS_BUILD_DIR) / "korvan.exe";
}

fs::path MakeTemporaryFolder() {
  std::string pattern = (fs::temp_directory_path() / "korvan-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return fs::path();
  return pattern;
}

std::string WithCrLf(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

}  // namespace

std::string WinePath(const fs::path& path) {
  std::string result = "Z:" + fs::absolute(path).string();
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  return result;
}

LaunchFolder::LaunchFolder(const Target& target, const std::string& launcher_name)
    : target_(target), folder_(MakeTemporaryFolder()) {
  launcher_file_ = launcher_name + (windows() ? ".exe" : "");
  const fs::path build = LauncherBuild(target.kind);
  if (!fs::exists(build)) {
    ADD_FAILURE() << build << " is missing: build both presets (scripts/run-tests does)";
    return;
  }
  fs::copy_file(build, launcher(), fs::copy_options::overwrite_existing);
}

LaunchFolder::~LaunchFolder() {
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

fs::path LaunchFolder::SettingsFile() const {
  std::string base = launcher_file_;
  if (windows()) base.resize(base.size() - 4);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.resize(dot);
  return folder_ / (base + ".ini");
}

void LaunchFolder::WriteSettings(const std::string& ini_text) const {
  std::ofstream(SettingsFile(), std::ios::binary) << (windows() ? WithCrLf(ini_text) : ini_text);
}

void LaunchFolder::WriteFile(const std::string& relative, const std::string& content) const {
  const fs::path path = folder_ / relative;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string LaunchFolder::NativePath(const std::string& relative) const {
  const fs::path path = relative.empty() ? folder_ : folder_ / relative;
  return windows() ? WinePath(path) : path.string();
}

std::string LaunchFolder::Lines(const std::string& text) const {
  return windows() ? WithCrLf(text) : text;
}

ProcessResult RunUnderWine(const std::vector<std::string>& command, ProcessOptions options) {
  if (std::getenv("WINEPREFIX") == nullptr) {
    ADD_FAILURE() << "WINEPREFIX is not set: run the Windows tests through scripts/run-tests";
    return ProcessResult{};
  }
  options.environment.emplace("WINEDEBUG", "-all");
  std::vector<std::string> wine_command{"wine"};
  wine_command.insert(wine_command.end(), command.begin(), command.end());
  ProcessResult result;
  for (int attempt = 0; attempt < 3; ++attempt) {
    result = RunProcess(wine_command, options);
    const bool start_failed = result.exit_code == 1 && result.standard_output.empty() &&
                              result.standard_error.empty();
    if (!start_failed) break;
    std::cerr << "note: Wine ended the start of " << command.front()
              << " at once (exit 1, no output); trying again\n";
  }
  return result;
}

ProcessResult LaunchFolder::Run(const std::vector<std::string>& arguments,
                                ProcessOptions options) const {
  std::vector<std::string> command{launcher().string()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  if (options.working_directory.empty()) options.working_directory = folder_.string();
  if (!windows()) return RunProcess(command, options);
  if (!options.cancel_missing_runtime_dialog) return RunUnderWine(command, options);
  std::future<ProcessResult> run =
      std::async(std::launch::async, [&command, &options] { return RunUnderWine(command, options); });
  while (run.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
    DriveDialog({"--wait", "2", "press", "JRE Not Found", "2"});
  }
  return run.get();
}

}  // namespace korvan::e2e
