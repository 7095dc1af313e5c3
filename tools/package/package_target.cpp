#include "package_target.h"

namespace korvan::package {
namespace {

// IMAGE_FILE_MACHINE_AMD64; the ELF machines EM_X86_64 and EM_AARCH64.
constexpr platform::BinaryMachine kPeX64{platform::BinaryFormat::Pe, 0x8664};
constexpr platform::BinaryMachine kElfX64{platform::BinaryFormat::Elf, 62};
constexpr platform::BinaryMachine kElfArm64{platform::BinaryFormat::Elf, 183};

const TargetFacts kTargets[] = {
    {PackageTarget::WindowsX64, L"windows-x64", kPeX64, L"korvan.exe", L"x86_64-w64-mingw32-strip",
     L"binutils-mingw-w64-x86-64", L""},
    {PackageTarget::LinuxX64, L"linux-x64", kElfX64, L"korvan", L"strip", L"binutils", L"amd64"},
    // The ARM64 launcher of the same build tree (build/linux-arm64/korvan).
    {PackageTarget::LinuxArm64, L"linux-arm64", kElfArm64, L"../linux-arm64/korvan", L"aarch64-linux-gnu-strip",
     L"binutils-aarch64-linux-gnu", L"arm64"},
};

}  // namespace

const TargetFacts& FactsOf(PackageTarget target) {
  for (const TargetFacts& facts : kTargets) {
    if (facts.target == target) return facts;
  }
  return kTargets[0];
}

std::optional<PackageTarget> TargetNamed(const std::wstring& name) {
  for (const TargetFacts& facts : kTargets) {
    if (name == facts.name) return facts.target;
  }
  return std::nullopt;
}

std::wstring TargetNames() {
  std::wstring names;
  const std::size_t count = sizeof kTargets / sizeof kTargets[0];
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) names += i + 1 == count ? L" or " : L", ";
    names += kTargets[i].name;
  }
  return names;
}

const platform::RuntimeLayout& LayoutOf(PackageTarget target) {
  static const platform::RuntimeLayout linux_x64 = platform::LinuxRuntimeLayout(L"amd64");
  static const platform::RuntimeLayout linux_arm64 = platform::LinuxRuntimeLayout(L"aarch64");
  switch (target) {
    case PackageTarget::LinuxX64: return linux_x64;
    case PackageTarget::LinuxArm64: return linux_arm64;
    case PackageTarget::WindowsX64: break;
  }
  return platform::WindowsRuntimeLayout();
}

}  // namespace korvan::package
