#include "support/launch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace korvan::e2e {

namespace fs = std::filesystem;

std::vector<Target> AllTargets() {
  return {Target{TargetKind::Linux, "Linux"}, Target{TargetKind::Windows, "Windows"}};
}

std::string TargetName(const testing::TestParamInfo<Target>& info) { return info.param.name; }

fs::path LinuxBuildDir() {
  if (const char* other = std::getenv("KORVAN_LINUX_BUILD_DIR")) return other;
  return KORVAN_LINUX_BUILD_DIR;
}

namespace {

// KORVAN_WINDOWS_LAUNCHER names another Windows launcher to test (a stamped
// one, see tests/e2e/CMakeLists.txt); by default the one the build made.
fs::path LauncherBuild(const Target& target) {
  if (target.arm64) return fs::path(KORVAN_SOURCE_DIR) / "build" / "linux-arm64" / "korvan";
  if (target.kind == TargetKind::Linux) return LinuxBuildDir() / "korvan";
  if (const char* other = std::getenv("KORVAN_WINDOWS_LAUNCHER")) return other;
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

// Debian's qemu-user-static, and the C library of its cross toolchain.
constexpr const char kArm64Emulator[] = "/usr/bin/qemu-aarch64-static";
constexpr const char kArm64Libraries[] = "/usr/aarch64-linux-gnu";

}  // namespace

std::vector<std::string> MachineCommand(const Target& target, const std::string& program,
                                        const std::vector<std::string>& arguments) {
  std::vector<std::string> command{program};
  if (target.arm64) command = {kArm64Emulator, "-L", kArm64Libraries, program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

std::string WhyNotRunnable(const Target& target) {
  if (target.arm64 && !(fs::exists(LauncherBuild(target)) && fs::exists(kArm64Emulator))) {
    return LauncherBuild(target).string() + " or " + kArm64Emulator + " is missing: scripts/build, scripts/install-deps";
  }
  if (target.kind == TargetKind::Linux) return "";
  if (!fs::exists(LauncherBuild(target))) return LauncherBuild(target).string() + " is not built";
  if (std::getenv("WINEPREFIX") == nullptr) return "no Wine session (WINEPREFIX): scripts/run-tests starts one";
  return "";
}

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
  const fs::path build = LauncherBuild(target);
  if (!fs::exists(build)) {
    if (!windows() && !target.arm64) ADD_FAILURE() << build << " is missing";  // others skip (WhyNotRunnable)
    return;
  }
  fs::create_directories(launcher().parent_path());
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

void LaunchFolder::WriteUnicodeSettings(const std::string& utf8_ini_text) const {
  if (!windows()) return WriteSettings(utf8_ini_text);
  std::string result = "\xFF\xFE";
  auto put = [&result](char32_t unit) {
    result += static_cast<char>(unit & 0xFF);
    result += static_cast<char>(unit >> 8);
  };
  const std::string& utf8 = utf8_ini_text;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? byte : byte & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += length;
    if (c == '\n') put('\r');
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  std::ofstream(SettingsFile(), std::ios::binary) << result;
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

std::string LaunchFolder::ErrorOutput(const ProcessResult& result) const {
  if (windows()) return result.standard_output;
  std::string kept;
  std::size_t start = 0;
  while (start < result.standard_error.size()) {
    std::size_t end = result.standard_error.find('\n', start);
    end = end == std::string::npos ? result.standard_error.size() : end + 1;
    const std::string line = result.standard_error.substr(start, end - start);
    if (line.rfind("korvan: ", 0) != 0) kept += line;
    start = end;
  }
  return kept;
}

ProcessResult RunUnderWine(const std::vector<std::string>& command, ProcessOptions options) {
  if (std::getenv("WINEPREFIX") == nullptr) {
    ADD_FAILURE() << "WINEPREFIX is not set: run the Windows tests through scripts/run-tests";
    return ProcessResult{};
  }
  // Wine's own messages stay off, but sc's: sc says why it failed only
  // there, and ends with 1 and nothing on its streams otherwise.
  options.environment.emplace("WINEDEBUG", "-all,err+sc");
  std::vector<std::string> wine_command{"wine"};
  wine_command.insert(wine_command.end(), command.begin(), command.end());
  return RunProcess(wine_command, options);
}

ProcessResult StampLauncher(const LaunchFolder& folder, std::vector<std::string> options,
                            const std::string& input_name) {
  options.insert(options.begin(), folder.windows()
                                      ? std::string(KORVAN_WINDOWS_BUILD_DIR) + "/korvan-stamp.exe"
                                      : (LinuxBuildDir() / "korvan-stamp").string());
  options.push_back(folder.NativePath(folder.launcher().filename().string()));
  if (!input_name.empty()) options.push_back(folder.NativePath(input_name));
  return folder.windows() ? RunUnderWine(options) : RunProcess(options, ProcessOptions{});
}

std::vector<std::string> LaunchFolder::Command(const std::vector<std::string>& arguments) const {
  return MachineCommand(target_, launcher().string(), arguments);
}

ProcessResult LaunchFolder::Run(const std::vector<std::string>& arguments,
                                ProcessOptions options) const {
  const std::vector<std::string> command = Command(arguments);
  if (options.working_directory.empty()) options.working_directory = folder_.string();
  if (!windows()) return RunProcess(command, options);
  if (options.cancel_missing_runtime_dialog) return RunUnderWine(command, options);
  // The Wine session's watcher cancels every missing-runtime dialog (see
  // scripts/wine-session) except while its pause file exists: this run wants
  // its dialog. Such tests run alone.
  const char* pause = std::getenv("KORVAN_DIALOG_WATCH_PAUSE");
  if (pause != nullptr) std::ofstream(pause) << "paused\n";
  ProcessResult result = RunUnderWine(command, options);
  if (pause != nullptr) std::remove(pause);
  return result;
}

}  // namespace korvan::e2e
