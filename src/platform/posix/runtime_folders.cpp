#include "platform/posix/runtime_folders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <set>

#include "platform/environment.h"
#include "platform/posix/regular_file.h"
#include "platform/text.h"

namespace korvan::platform {

namespace {

constexpr const wchar_t* kDefaultRoot = L"/usr/lib/jvm";
// Real "release" files are about a kilobyte; more than this is not one.
constexpr std::size_t kReleaseFileLimit = 64 * 1024;

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

// Empty when the file cannot be read or is no regular file (a FIFO would
// block the read for ever).
std::string ReadSmallFile(const std::string& path) {
  const std::optional<RegularFile> file = RegularFile::Open(path);
  if (!file) return std::string();
  return file->Read(kReleaseFileLimit).value_or(std::string());
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::wstring ReleaseFileVersion(const std::string& text) {
  static const std::string kKey = "JAVA_VERSION=";
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    std::size_t line_end = text.find('\n', line_start);
    if (line_end == std::string::npos) line_end = text.size();
    const std::string line = text.substr(line_start, line_end - line_start);
    line_start = line_end + 1;
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    std::string value = Trimmed(line.substr(kKey.size()));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return WideFromNarrow(value);
  }
  return std::wstring();
}

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

RuntimeFolderRegistry::RuntimeFolderRegistry(std::vector<std::wstring> roots)
    : roots_(std::move(roots)) {}

std::wstring RuntimeFolderRegistry::Location(const RuntimeFamily& family) {
  std::wstring location;
  for (const std::wstring& root : roots_) {
    if (!location.empty()) location += L":";
    location += root;
  }
  const std::wstring kind = family.kind == RuntimeKind::Jdk ? L"JDK" : L"JRE";
  // No JRockit runtime exists for this system, but the trace still names the family.
  return location + (family.provider == RuntimeProvider::Sun ? L" (" : L" (JRockit ") + kind + L")";
}

std::vector<RegisteredRuntime> RuntimeFolderRegistry::ListRuntimes(const RuntimeFamily& family) {
  std::vector<RegisteredRuntime> runtimes;
  if (family.provider != RuntimeProvider::Sun) return runtimes;
  for (const Folder& folder : Scan()) {
    if (folder.kind == family.kind) {
      runtimes.push_back(RegisteredRuntime{folder.real_path, folder.version_text});
    }
  }
  return runtimes;
}

std::optional<std::wstring> RuntimeFolderRegistry::ReadJavaHome(const RuntimeFamily&,
                                                                const RegisteredRuntime& runtime) {
  return runtime.name;  // the registration is its folder
}

const std::vector<RuntimeFolderRegistry::Folder>& RuntimeFolderRegistry::Scan() {
  if (scanned_) return folders_;
  scanned_ = true;
  std::set<std::string> seen;
  for (const std::wstring& root : roots_) {
    const std::string narrow_root = NarrowFromWide(root);
    for (const std::string& name : SortedEntryNames(narrow_root)) {
      std::string real;
      if (!RealFolder(narrow_root + "/" + name, real) || !seen.insert(real).second) continue;
      std::wstring version = ReleaseFileVersion(ReadSmallFile(real + "/release"));
      if (version.empty()) version = WideFromNarrow(real.substr(real.rfind('/') + 1));
      const RuntimeKind kind = IsFile(real + "/bin/javac") ? RuntimeKind::Jdk : RuntimeKind::Jre;
      folders_.push_back(Folder{WideFromNarrow(real), kind, version});
    }
  }
  return folders_;
}

std::unique_ptr<RuntimeRegistry> OpenRuntimeRegistry() {
  return std::make_unique<RuntimeFolderRegistry>(
      RuntimeRootsFrom(ReadEnvironmentVariable(L"KORVAN_JVM_ROOT").value_or(L"")));
}

}  // namespace korvan::platform
