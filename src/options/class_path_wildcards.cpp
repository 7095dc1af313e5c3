#include "options/class_path_wildcards.h"

namespace korvan {

namespace {

std::vector<std::wstring> SplitEntries(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> entries;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    entries.push_back(
        text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) return entries;
    start = end + 1;
  }
}

// The folder part of a wildcard entry, separator kept ("lib/" for "lib/*",
// "" for "*"); nothing for any other entry.
std::optional<std::wstring> WildcardFolder(const std::wstring& entry, const ClassPathRules& rules) {
  if (entry.empty() || entry.back() != L'*') return std::nullopt;
  if (entry.size() == 1) return std::wstring();
  if (rules.folder_separators.find(entry[entry.size() - 2]) == std::wstring::npos) {
    return std::nullopt;
  }
  return entry.substr(0, entry.size() - 1);
}

bool IsJarName(const std::wstring& name) {
  if (name.size() <= 4) return false;  // a name before the extension
  const std::wstring extension = name.substr(name.size() - 4);
  return extension == L".jar" || extension == L".JAR";
}

}  // namespace

bool HasWildcardEntry(const std::wstring& class_path, const ClassPathRules& rules) {
  for (const std::wstring& entry : SplitEntries(class_path, rules.list_separator)) {
    if (WildcardFolder(entry, rules)) return true;
  }
  return false;
}

std::wstring ExpandClassPathWildcards(const std::wstring& class_path, const ClassPathRules& rules,
                                      const ListFolderFunction& list_folder) {
  std::vector<std::wstring> expanded;
  for (const std::wstring& entry : SplitEntries(class_path, rules.list_separator)) {
    const std::optional<std::wstring> folder = WildcardFolder(entry, rules);
    if (!folder) {
      expanded.push_back(entry);
      continue;
    }
    const auto names = list_folder(folder->empty() ? std::wstring(L".") : *folder);
    if (!names) continue;
    for (const platform::FolderEntry& name : *names) {
      if (!name.is_folder && IsJarName(name.name)) expanded.push_back(*folder + name.name);
    }
  }
  std::wstring text;
  for (std::size_t i = 0; i < expanded.size(); ++i) {
    if (i > 0) text += rules.list_separator;
    text += expanded[i];
  }
  return text;
}

}  // namespace korvan
