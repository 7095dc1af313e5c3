#pragma once
// Class path wildcards as the java command expands them: an entry that is a
// folder followed by "*" ("lib/*", "lib\*", or "*" for the current folder)
// stands for the folder's .jar and .JAR files, in the order the folder lists
// them, not recursively. Free of system calls: the folder listing is handed in.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

namespace korvan {

using ListFolderFunction =
    std::function<std::optional<std::vector<platform::FolderEntry>>(const std::wstring& folder)>;

struct ClassPathRules {
  wchar_t list_separator;         // between entries: ";" on Windows, ":" elsewhere
  std::wstring folder_separators; // what may stand before the "*": "\\/" on Windows, "/" elsewhere
};

// True when an entry of `class_path` is a wildcard entry.
bool HasWildcardEntry(const std::wstring& class_path, const ClassPathRules& rules);

// `class_path` with each wildcard entry replaced by its jar files; other
// entries stay as they are. A wildcard entry whose folder cannot be read or
// holds no jar file is left out, as the java command leaves it out.
std::wstring ExpandClassPathWildcards(const std::wstring& class_path, const ClassPathRules& rules,
                                      const ListFolderFunction& list_folder);

}  // namespace korvan
