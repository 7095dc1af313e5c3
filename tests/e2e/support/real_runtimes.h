#pragma once
// The real Java runtimes that the end-to-end tests host: on Linux, the JDK the
// build found and the runtimes that scripts/fetch-runtimes unpacks under
// build/runtimes (linux-11, linux-21, linux-25, and linux-arm64-21 for the
// ARM64 launcher under qemu-user); under Wine, the fetched
// Windows runtimes (windows-11, windows-21, windows-25). A test over runtimes
// takes them as parameters and skips, saying why, where one is missing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/launch_folder.h"

namespace korvan::e2e {

struct RealRuntime {
  Target target;
  int line;          // the Java feature release: 11, 17, 21, 25
  std::string home;  // on the Linux file system
  std::string name;  // e.g. Linux17, Windows25
};

// Every runtime of both targets, Linux first, oldest first.
std::vector<RealRuntime> RealRuntimes();
// Those of one target, of at least `minimum_line`.
std::vector<RealRuntime> RealRuntimesOf(TargetKind kind, int minimum_line = 0);
// The newest runtime of a target, for cases that one runtime proves.
RealRuntime NewestRuntime(TargetKind kind);
std::string RuntimeName(const testing::TestParamInfo<RealRuntime>& info);

// `runtimes`, then the ARM64 runtime that the ARM64 launcher hosts under
// qemu-user (tests/e2e/CMakeLists.txt runs only a few cases with it).
std::vector<RealRuntime> WithArm64(std::vector<RealRuntime> runtimes);

// Why `runtime` cannot run here, or "" when it can.
std::string WhyNotRunnable(const RealRuntime& runtime);

// The runtime's home as the launcher names it (Z:\... under Wine).
std::string LauncherPath(const RealRuntime& runtime);

// VM options that every real run under Wine needs: HotSpot 21 and later warn on
// each start that Wine lacks GetProcessGroupAffinity unless the processor count
// is given. Empty on Linux.
std::string WineVmOptions(const RealRuntime& runtime);

// A test over real runtimes, skipped with the reason where its runtime cannot run.
class RealRuntimeTest : public testing::TestWithParam<RealRuntime> {
 protected:
  void SetUp() override {
    if (const std::string why = WhyNotRunnable(GetParam()); !why.empty()) GTEST_SKIP() << why;
  }
};

}  // namespace korvan::e2e
