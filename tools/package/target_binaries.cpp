#include "target_binaries.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "pe_image.h"
#include "platform/file_bytes.h"
#include "platform/runtime_layout.h"
#include "platform/shared/binary_machine.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

platform::BinaryMachine ExpectedMachine(PackageTarget target) { return FactsOf(target).machine; }

std::wstring TargetName(PackageTarget target) { return FactsOf(target).name; }

std::wstring Describe(const platform::BinaryMachine& machine) {
  if (machine.format == platform::BinaryFormat::Unknown) return L"no executable";
  return platform::MachineName(machine) +
         (machine.format == platform::BinaryFormat::Pe ? L" Windows" : L" ELF (Linux)");
}

// A path of the layout table (Windows separators) below `folder`.
fs::path Below(const std::wstring& folder, std::wstring layout_path) {
  for (wchar_t& c : layout_path) {
    if (c == L'\\') c = L'/';
  }
  return fs::path(folder) / layout_path;
}

platform::BinaryMachine MachineOfFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string head(platform::kBinaryHeadSize, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return platform::MachineOfBinary(head);
}

bool SameMachine(const platform::BinaryMachine& a, const platform::BinaryMachine& b) {
  return a.format == b.format && a.code == b.code;
}

}  // namespace

std::wstring BundledRuntimeFolderName(PackageTarget target) {
  std::wstring name = LayoutOf(target).bundled_runtime_folder;
  if (!name.empty()) name.pop_back();  // its final separator
  return name;
}

bool CheckLauncher(const std::wstring& launcher, PackageTarget target, std::wstring& error) {
  std::string bytes;
  if (!platform::ReadFileBytes(launcher, bytes)) {
    error = L"the launcher " + launcher + L" cannot be read";
    return false;
  }
  const platform::BinaryMachine machine = platform::MachineOfBinary(bytes.substr(0, platform::kBinaryHeadSize));
  if (!SameMachine(machine, ExpectedMachine(target))) {
    error = L"the launcher " + launcher + L" is " + Describe(machine) + L", not a " + TargetName(target) +
            L" launcher";
    return false;
  }
  if (target != PackageTarget::WindowsX64) return true;
  std::string why;
  const std::optional<pe::PeImage> image = pe::ParsePeImage(bytes, why);
  if (!image) {
    error = L"the launcher " + launcher + L" cannot be read: " + std::wstring(why.begin(), why.end());
    return false;
  }
  if (image->certificates.size != 0) {
    error = L"the launcher " + launcher +
            L" is signed: give the unsigned launcher, which is signed after it is stamped";
    return false;
  }
  return true;
}

bool CheckRuntime(const std::wstring& runtime, PackageTarget target, bool link_modules,
                  std::wstring& error) {
  std::error_code ignored;
  if (!fs::is_directory(runtime, ignored)) {
    error = L"the runtime folder " + runtime + L" does not exist";
    return false;
  }
  if (link_modules && !fs::is_directory(fs::path(runtime) / "jmods", ignored)) {
    error = L"[Runtime] Modules needs a JDK with a jmods folder, and " + runtime + L" has none";
    return false;
  }
  // The JVM library of any target's layout: a runtime for another system or
  // machine is named as such, not merely found incomplete.
  std::optional<fs::path> library;
  for (const PackageTarget layout_target :
       {target, PackageTarget::LinuxX64, PackageTarget::LinuxArm64, PackageTarget::WindowsX64}) {
    for (const platform::JvmLibraryPlace& place : LayoutOf(layout_target).jvm_libraries) {
      const fs::path candidate = Below(runtime, place.sub_path);
      if (!library && fs::exists(candidate, ignored)) library = candidate;
    }
  }
  if (!library) {
    error = L"the runtime folder " + runtime + L" holds no JVM library: it is no Java runtime";
    return false;
  }
  const platform::BinaryMachine machine = MachineOfFile(*library);
  if (!SameMachine(machine, ExpectedMachine(target))) {
    error = L"the runtime " + runtime + L" is for another machine: " + library->wstring() + L" is " +
            Describe(machine) + L", not " + TargetName(target);
    return false;
  }
  const std::wstring& marker = LayoutOf(target).marker_file;
  if (!fs::exists(Below(runtime, marker), ignored)) {
    error = L"the runtime folder " + runtime + L" holds no " + marker + L": it is incomplete";
    return false;
  }
  return true;
}

}  // namespace korvan::package
