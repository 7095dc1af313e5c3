#include "runtime_modules.h"

#include <algorithm>

#include "external_tool.h"
#include "platform/file_bytes.h"
#include "platform/text.h"

namespace korvan::package {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr wchar_t kClassPathSeparator = L';';
#else
constexpr wchar_t kClassPathSeparator = L':';
#endif

constexpr wchar_t kJdkPackage[] = L"openjdk-17-jdk-headless, or a JDK of the runtime's version on the PATH";

std::vector<std::wstring> SplitNames(const std::wstring& list) {
  std::vector<std::wstring> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(L',', start), list.size());
    std::wstring name = list.substr(start, comma - start);
    name.erase(0, name.find_first_not_of(L" \t\r\n"));
    name.erase(name.find_last_not_of(L" \t\r\n") + 1);
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    start = comma + 1;
  }
  return names;
}

// The runtime's feature version from its release file ("25" of
// JAVA_VERSION="25.0.2"), which jdeps reads multi-release jars as.
std::wstring FeatureVersion(const PackageDescription& d) {
  std::string release;
  if (!platform::ReadFileBytes((fs::path(d.runtime) / "release").wstring(), release)) return L"base";
  const std::string key = "JAVA_VERSION=\"";
  const std::size_t at = release.find(key);
  if (at == std::string::npos) return L"base";
  std::size_t end = at + key.size();
  while (end < release.size() && release[end] >= '0' && release[end] <= '9') ++end;
  const std::string feature = release.substr(at + key.size(), end - at - key.size());
  // JDK 8 and older name themselves "1.8.0": jdeps then reads the base classes only.
  return feature.empty() || feature == "1" ? L"base" : platform::WideFromNarrow(feature);
}

}  // namespace

std::wstring JdkTool(const PackageDescription& d, const std::wstring& name) {
#ifdef _WIN32
  const bool target_is_host = d.Windows();
  const fs::path own = fs::path(d.runtime) / "bin" / (name + L".exe");
#else
#if defined(__aarch64__)
  const bool target_is_host = d.target == PackageTarget::LinuxArm64;
#else
  const bool target_is_host = d.target == PackageTarget::LinuxX64;
#endif
  const fs::path own = fs::path(d.runtime) / "bin" / name;
#endif
  std::error_code ignored;
  return target_is_host && fs::is_regular_file(own, ignored) ? own.wstring() : name;
}

bool ModulesToLink(const PackageDescription& d, const fs::path& folder, const std::vector<std::wstring>& jars,
                   const fs::path& scratch, std::wstring& modules, std::wstring& error) {
  std::vector<std::wstring> names = SplitNames(d.modules);
  const auto automatic = std::find(names.begin(), names.end(), L"auto");
  if (automatic != names.end()) {
    names.erase(automatic);
    std::wstring class_path;
    for (const std::wstring& jar : jars) {
      class_path += (class_path.empty() ? L"" : std::wstring(1, kClassPathSeparator)) +
                    (folder / jar).wstring();
    }
    std::vector<std::wstring> command = {JdkTool(d, L"jdeps"), L"--print-module-deps", L"--ignore-missing-deps",
                                         L"--multi-release", FeatureVersion(d), L"--class-path", class_path};
    for (const std::wstring& jar : jars) command.push_back((folder / jar).wstring());
    const fs::path answer = scratch / "jdeps-modules.txt";
    if (!RunTool(command, kJdkPackage, error, std::wstring(), answer.wstring())) {
      error = L"[Runtime] Modules=auto: " + error;
      return false;
    }
    std::string printed;
    platform::ReadFileBytes(answer.wstring(), printed);
    // The answer is its last line; notes about the jars may come before it.
    printed.erase(printed.find_last_not_of("\r\n") + 1);
    const std::string last = printed.substr(printed.find_last_of('\n') + 1);
    const std::vector<std::wstring> found = SplitNames(platform::WideFromNarrow(last));
    if (found.empty() || found.front().find_first_of(L" :") != std::wstring::npos) {
      error = L"[Runtime] Modules=auto: jdeps named no modules for the jars (it printed \"" +
              platform::WideFromNarrow(last) + L"\")";
      return false;
    }
    for (const std::wstring& name : found) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  modules.clear();
  for (const std::wstring& name : names) modules += (modules.empty() ? L"" : L",") + name;
  return true;
}

}  // namespace korvan::package
