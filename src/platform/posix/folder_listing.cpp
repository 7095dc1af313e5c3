#include "platform/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <string>

#include "platform/text.h"

namespace korvan::platform {

namespace {

struct FolderStream {
  DIR* stream;
  ~FolderStream() {
    if (stream != nullptr) closedir(stream);
  }
};

bool IsFolder(const std::string& folder, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return entry.d_type == DT_DIR;
  struct stat status{};
  return stat((folder + "/" + entry.d_name).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const std::wstring& folder) {
  const std::string narrow = NarrowFromWide(folder);
  FolderStream folder_stream{opendir(narrow.c_str())};
  if (folder_stream.stream == nullptr) return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* entry = readdir(folder_stream.stream)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back(FolderEntry{WideFromNarrow(name), IsFolder(narrow, *entry)});
  }
  return entries;
}

}  // namespace korvan::platform
