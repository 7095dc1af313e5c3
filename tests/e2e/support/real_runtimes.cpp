#include "support/real_runtimes.h"

#include <algorithm>
#include <filesystem>
#include <thread>

namespace korvan::e2e {

namespace fs = std::filesystem;

namespace {

RealRuntime Fetched(TargetKind kind, int line) {
  // Built here, not as a namespace-scope constant: tests make their runtime
  // lists while their own statics are initialised.
  const fs::path fetched = fs::path(KORVAN_SOURCE_DIR) / "build" / "runtimes";
  const bool windows = kind == TargetKind::Windows;
  const std::string os = windows ? "windows" : "linux";
  return RealRuntime{Target{kind, windows ? "Windows" : "Linux"}, line,
                     (fetched / (os + "-" + std::to_string(line))).string(),
                     (windows ? "Windows" : "Linux") + std::to_string(line)};
}

}  // namespace

std::vector<RealRuntime> RealRuntimes() {
  return {Fetched(TargetKind::Linux, 11),
          RealRuntime{Target{TargetKind::Linux, "Linux"}, 17, KORVAN_TEST_JDK, "Linux17"},
          Fetched(TargetKind::Linux, 21),
          Fetched(TargetKind::Linux, 25),
          Fetched(TargetKind::Windows, 11),
          Fetched(TargetKind::Windows, 21),
          Fetched(TargetKind::Windows, 25)};
}

std::vector<RealRuntime> RealRuntimesOf(TargetKind kind, int minimum_line) {
  std::vector<RealRuntime> result;
  for (const RealRuntime& runtime : RealRuntimes()) {
    if (runtime.target.kind == kind && runtime.line >= minimum_line) result.push_back(runtime);
  }
  return result;
}

std::vector<RealRuntime> WithArm64(std::vector<RealRuntime> runtimes) {
  const fs::path fetched = fs::path(KORVAN_SOURCE_DIR) / "build" / "runtimes" / "linux-arm64-21";
  runtimes.push_back(RealRuntime{Target{TargetKind::Linux, "LinuxArm64", true}, 21, fetched.string(), "LinuxArm64_21"});
  return runtimes;
}

RealRuntime NewestRuntime(TargetKind kind) { return RealRuntimesOf(kind).back(); }

std::string RuntimeName(const testing::TestParamInfo<RealRuntime>& info) {
  return info.param.name;
}

std::string WhyNotRunnable(const RealRuntime& runtime) {
  if (std::string why = WhyNotRunnable(runtime.target); !why.empty()) return why;
  if (!fs::exists(fs::path(runtime.home) / "release")) {
    return runtime.home + " holds no runtime: scripts/fetch-runtimes (run by scripts/install-deps) unpacks it";
  }
  return "";
}

std::string LauncherPath(const RealRuntime& runtime) {
  return runtime.target.kind == TargetKind::Windows ? WinePath(runtime.home) : runtime.home;
}

std::string WineVmOptions(const RealRuntime& runtime) {
  if (runtime.target.kind != TargetKind::Windows) return "";
  return "-XX:ActiveProcessorCount=" + std::to_string(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace korvan::e2e
