#pragma once
// What korvan-package knows of each target it releases for: the name a
// description gives it, the machine its launcher and runtime are built for,
// the runtime layout the launcher searches there, and the tools that handle
// its binaries on the build machine.

#include <optional>
#include <string>

#include "platform/runtime_layout.h"
#include "platform/shared/binary_machine.h"

namespace korvan::package {

enum class PackageTarget { WindowsX64, LinuxX64, LinuxArm64 };

struct TargetFacts {
  PackageTarget target;
  const wchar_t* name;                 // in descriptions and output names: "linux-arm64"
  platform::BinaryMachine machine;     // of the launcher and the runtime's JVM library
  const wchar_t* launcher_file;        // the default launcher, beside korvan-package
  const wchar_t* strip;                // strips a launcher of this machine
  const wchar_t* strip_package;        // the Debian package that brings it
  const wchar_t* debian_architecture;  // a .deb's Architecture; empty for Windows
};

const TargetFacts& FactsOf(PackageTarget target);

// The target a description names ("windows-x64", "linux-x64", "linux-arm64").
std::optional<PackageTarget> TargetNamed(const std::wstring& name);

// The names a description may give, for its error line: "windows-x64, linux-x64 or linux-arm64".
std::wstring TargetNames();

// The runtime layout that the target's launcher searches.
const platform::RuntimeLayout& LayoutOf(PackageTarget target);

}  // namespace korvan::package
