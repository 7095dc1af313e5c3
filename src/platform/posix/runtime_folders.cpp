#include "platform/posix/runtime_folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <set>

#include "platform/environment.h"
#include "platform/runtime_files.h"
#include "platform/text.h"

namespace korvan::platform {

namespace {

constexpr const wchar_t* kDefaultRoot = L"/usr/lib/jvm";

std::vector<std::string> SortedEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) return names;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (!name.empty() && name[0] != '.') names.push_back(name);
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

bool RealFolder(const std::string& path, std::string& real) {
  char buffer[PATH_MAX];
  if (realpath(path.c_str(), buffer) == nullptr) return false;
  struct stat status{};
  if (stat(buffer, &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  real = buffer;
  return true;
}

bool IsFile(const std::string& path) {
  struct stat status{};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::vector<std::wstring> RuntimeRootsFrom(const std::wstring& variable) {
  std::vector<std::wstring> roots;
  std::size_t start = 0;
  while (start <= variable.size()) {
    std::size_t end = variable.find(L':', start);
    if (end == std::wstring::npos) end = variable.size();
    if (end > start) roots.push_back(variable.substr(start, end - start));
    start = end + 1;
  }
  if (roots.empty()) roots.push_back(kDefaultRoot);
  return roots;
}

std::wstring SdkmanJavaRoot(const std::wstring& sdkman_dir, const std::wstring& home) {
  if (!sdkman_dir.empty()) return sdkman_dir + L"/candidates/java";
  if (!home.empty()) return home + L"/.sdkman/candidates/java";
  return std::wstring();
}

std::wstring FindCommandOnPath(const std::wstring& path_variable, const std::wstring& command) {
  std::size_t start = 0;
  while (start <= path_variable.size()) {
    std::size_t end = path_variable.find(L':', start);
    if (end == std::wstring::npos) end = path_variable.size();
    if (end > start) {
      const std::wstring candidate = path_variable.substr(start, end - start) + L"/" + command;
      const std::string narrow = NarrowFromWide(candidate);
      if (IsFile(narrow) && access(narrow.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return std::wstring();
}

RuntimeFolderRegistry::RuntimeFolderRegistry(std::vector<std::wstring> roots)
    : RuntimeFolderRegistry(RuntimeFolderSources{std::move(roots), L"", L""}) {}

RuntimeFolderRegistry::RuntimeFolderRegistry(RuntimeFolderSources sources)
    : sources_(std::move(sources)) {
  if (!sources_.java_home.empty()) RealFolder(NarrowFromWide(sources_.java_home), java_home_real_);
  if (!sources_.system_java.empty()) {
    // bin/java of a runtime, links resolved: Debian's /usr/bin/java leads
    // through /etc/alternatives to the default runtime.
    char buffer[PATH_MAX];
    if (realpath(NarrowFromWide(sources_.system_java).c_str(), buffer) != nullptr) {
      std::string home = buffer;
      for (int level = 0; level < 2 && home.rfind('/') != std::string::npos; ++level) {
        home.resize(home.rfind('/'));
      }
      system_java_home_real_ = home;
    }
  }
}

bool RuntimeFolderRegistry::Keeps(const RuntimeFamily& family) {
  return family.source == RuntimeSource::Classic;
}

RuntimeStanding RuntimeFolderRegistry::StandingOf(const std::string& real_path) const {
  if (!java_home_real_.empty() && real_path == java_home_real_) return RuntimeStanding::JavaHome;
  // A JDK 8's java command is in its jre/bin folder.
  if (!system_java_home_real_.empty() &&
      (real_path == system_java_home_real_ || real_path + "/jre" == system_java_home_real_)) {
    return RuntimeStanding::SystemDefault;
  }
  return RuntimeStanding::Registered;
}

std::wstring RuntimeFolderRegistry::Location(const RuntimeFamily& family) {
  std::wstring location;
  for (const std::wstring& root : sources_.roots) {
    if (!location.empty()) location += L":";
    location += root;
  }
  if (!sources_.java_home.empty()) location += L":" + sources_.java_home;
  const std::wstring kind = family.kind == RuntimeKind::Jdk ? L"JDK" : L"JRE";
  // No JRockit runtime exists for this system, but the trace still names the family.
  return location + (family.provider == RuntimeProvider::Sun ? L" (" : L" (JRockit ") + kind + L")";
}

std::vector<RegisteredRuntime> RuntimeFolderRegistry::ListRuntimes(const RuntimeFamily& family) {
  std::vector<RegisteredRuntime> runtimes;
  if (family.provider != RuntimeProvider::Sun) return runtimes;
  for (const Folder& folder : Scan()) {
    if (folder.kind == family.kind) {
      runtimes.push_back(RegisteredRuntime{folder.real_path, folder.version_text, folder.standing});
    }
  }
  return runtimes;
}

std::optional<std::wstring> RuntimeFolderRegistry::ReadJavaHome(const RuntimeFamily&,
                                                                const RegisteredRuntime& runtime) {
  return runtime.name;  // the registration is its folder
}

void RuntimeFolderRegistry::AddFolder(const std::string& path, std::set<std::string>& seen) {
  std::string real;
  if (!RealFolder(path, real) || !seen.insert(real).second) return;
  std::wstring version = ReadReleaseVersion(WideFromNarrow(real + "/"));
  if (version.empty()) version = WideFromNarrow(real.substr(real.rfind('/') + 1));
  const RuntimeKind kind = IsFile(real + "/bin/javac") ? RuntimeKind::Jdk : RuntimeKind::Jre;
  folders_.push_back(Folder{WideFromNarrow(real), kind, version, StandingOf(real)});
}

const std::vector<RuntimeFolderRegistry::Folder>& RuntimeFolderRegistry::Scan() {
  if (scanned_) return folders_;
  scanned_ = true;
  std::set<std::string> seen;
  for (const std::wstring& root : sources_.roots) {
    const std::string narrow_root = NarrowFromWide(root);
    for (const std::string& name : SortedEntryNames(narrow_root)) AddFolder(narrow_root + "/" + name, seen);
  }
  if (!sources_.java_home.empty()) AddFolder(NarrowFromWide(sources_.java_home), seen);
  return folders_;
}

std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry() {
  const std::wstring chosen_roots = ReadEnvironmentVariable(L"KORVAN_JVM_ROOT").value_or(L"");
  RuntimeFolderSources sources;
  sources.roots = RuntimeRootsFrom(chosen_roots);
  if (chosen_roots.find_first_not_of(L':') == std::wstring::npos) {  // the default roots
    const std::wstring sdkman = SdkmanJavaRoot(ReadEnvironmentVariable(L"SDKMAN_DIR").value_or(L""),
                                               ReadEnvironmentVariable(L"HOME").value_or(L""));
    if (!sdkman.empty()) sources.roots.push_back(sdkman);
  }
  sources.java_home = ReadEnvironmentVariable(L"JAVA_HOME").value_or(L"");
  sources.system_java = FindCommandOnPath(ReadEnvironmentVariable(L"PATH").value_or(L""), L"java");
  return std::make_unique<RuntimeFolderRegistry>(std::move(sources));
}

}  // namespace korvan::platform
