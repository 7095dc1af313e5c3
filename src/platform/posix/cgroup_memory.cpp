#include "platform/posix/cgroup_memory.h"

#include <exception>
#include <fstream>
#include <sstream>
#include <vector>

namespace korvan::platform {

namespace {

struct Hierarchy {
  std::string mount_point;  // where the hierarchy is mounted
  std::string group;        // the process's group, as a path below the mount point
};

// mountinfo writes blanks and backslashes in paths as octal escapes ("\040").
std::string Unescape(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const std::string digits = text.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        result += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

bool HasItem(const std::string& list, const std::string& item) {
  std::istringstream items(list);
  for (std::string each; std::getline(items, each, ',');) {
    if (each == item) return true;
  }
  return false;
}

// The process's group in the v2 hierarchy ("0::/path") or in the v1 hierarchy
// that holds the memory controller ("4:memory:/path").
std::optional<std::string> GroupPath(const std::string& root, bool version2) {
  std::ifstream file(root + "/proc/self/cgroup");
  for (std::string line; std::getline(file, line);) {
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string id = line.substr(0, first);
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const bool matches =
        version2 ? id == "0" && controllers.empty() : HasItem(controllers, "memory");
    if (matches) return line.substr(second + 1);
  }
  return std::nullopt;
}

// Where the group's files are: the mount point of the hierarchy plus the
// group's path below the mount's own root.
std::optional<Hierarchy> FindHierarchy(const std::string& root, bool version2) {
  const std::optional<std::string> group = GroupPath(root, version2);
  if (!group) return std::nullopt;
  std::ifstream file(root + "/proc/self/mountinfo");
  for (std::string line; std::getline(file, line);) {
    std::istringstream fields(line);
    std::vector<std::string> before;
    std::string field;
    while (fields >> field && field != "-") before.push_back(field);
    std::string type, source, options;
    if (before.size() < 5 || !(fields >> type >> source >> options)) continue;
    const bool matches =
        version2 ? type == "cgroup2" : type == "cgroup" && HasItem(options, "memory");
    if (!matches) continue;
    const std::string mount_root = Unescape(before[3]);
    std::string relative = *group;
    if (mount_root != "/") {
      // Inside a container the mount's root is the container's own group.
      relative = relative.compare(0, mount_root.size(), mount_root) == 0
                     ? relative.substr(mount_root.size())
                     : std::string();
    }
    if (relative == "/") relative.clear();
    return Hierarchy{Unescape(before[4]), relative};
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ReadLimitFile(const std::string& path) {
  std::ifstream file(path);
  std::string value;
  if (!(file >> value) || value.empty() ||
      value.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;  // absent, "max", or unreadable
  }
  try {
    return std::stoull(value);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The lowest limit from the group up to the hierarchy's mount point.
std::optional<std::uint64_t> LowestLimit(const std::string& root, const Hierarchy& hierarchy,
                                         const char* file_name) {
  std::optional<std::uint64_t> lowest;
  std::string group = hierarchy.group;
  for (;;) {
    const std::optional<std::uint64_t> limit =
        ReadLimitFile(root + hierarchy.mount_point + group + "/" + file_name);
    if (limit && (!lowest || *limit < *lowest)) lowest = limit;
    if (group.empty()) return lowest;
    const std::size_t last = group.rfind('/');
    group.erase(last == std::string::npos ? 0 : last);
  }
}

}  // namespace

std::optional<std::uint64_t> CgroupMemoryLimit(const std::string& root) {
  // A hybrid system has a v2 hierarchy without the memory controller; then
  // the v1 memory hierarchy holds the limit.
  if (const std::optional<Hierarchy> v2 = FindHierarchy(root, true)) {
    if (const auto limit = LowestLimit(root, *v2, "memory.max")) return limit;
  }
  if (const std::optional<Hierarchy> v1 = FindHierarchy(root, false)) {
    return LowestLimit(root, *v1, "memory.limit_in_bytes");
  }
  return std::nullopt;
}

}  // namespace korvan::platform
