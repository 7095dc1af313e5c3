#pragma once
// The names in one folder, in the order the file system gives them, as the
// java command reads a folder for a class path wildcard.

#include <optional>
#include <string>
#include <vector>

namespace korvan::platform {

struct FolderEntry {
  std::wstring name;
  bool is_folder = false;
};

// Nothing when the folder cannot be read. "." and ".." are left out.
// Windows: FindFirstFileW / FindNextFileW on "<folder>\*". POSIX: readdir.
std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder);

}  // namespace korvan::platform
