#include "options/environment_paths.h"

#include <optional>

#include "platform/shared/percent_references.h"

namespace korvan {

namespace {

// The text before its last separator; the text itself when it has none.
std::wstring CutAtLastSeparator(const std::wstring& text, wchar_t separator) {
  const std::size_t last = text.rfind(separator);
  return last == std::wstring::npos ? text : text.substr(0, last);
}

std::wstring CurrentSearchPath(const platform::SearchPathRules& rules,
                               const ExpandReferences& expand) {
  return expand(L"%" + std::wstring(rules.variable) + L"%");
}

// Appends the list separator unless the list is empty or already ends with one.
void EndWithSeparator(std::wstring& list, wchar_t separator) {
  if (!list.empty() && list.back() != separator) list += separator;
}

// True when the entry still holds a %NAME% reference, whose variable is then unset.
bool HoldsUnsetReference(const std::wstring& entry) {
  const auto any_name = [](const std::wstring&) { return std::optional<std::wstring>(L""); };
  return platform::ExpandPercentReferences(entry, any_name) != entry;
}

// Appends the entries of `list` that name a folder: an empty entry, or one
// left with an unset reference, would make the system look in the current
// folder (or a folder relative to it).
void AppendFolderEntries(std::wstring& path, const std::wstring& list, wchar_t separator) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(separator, start);
    if (end == std::wstring::npos) end = list.size();
    const std::wstring entry = list.substr(start, end - start);
    if (!entry.empty() && !HoldsUnsetReference(entry)) {
      if (!path.empty()) path += separator;
      path += entry;
    }
    start = end + 1;
  }
}

}  // namespace

RuntimeFolders RuntimeFoldersFor(const std::wstring& jvm_library_path,
                                 const platform::RuntimeLayout& layout) {
  const wchar_t separator = layout.separator;
  RuntimeFolders folders;
  for (const platform::JvmLibraryPlace& place : layout.jvm_libraries) {
    const std::wstring tail = separator + place.sub_path;
    if (jvm_library_path.size() > tail.size() &&
        jvm_library_path.compare(jvm_library_path.size() - tail.size(), tail.size(), tail) == 0) {
      folders.home = jvm_library_path.substr(0, jvm_library_path.size() - tail.size());
      folders.bin = folders.home + separator + L"bin";
      folders.lib = folders.home + separator + L"lib";
      return folders;
    }
  }
  folders.bin = CutAtLastSeparator(CutAtLastSeparator(jvm_library_path, separator), separator);
  folders.home = CutAtLastSeparator(folders.bin, separator);
  const std::size_t last = folders.bin.rfind(separator);
  folders.lib =
      (last == std::wstring::npos ? folders.bin : folders.bin.substr(0, last + 1)) + L"lib";
  return folders;
}

std::wstring NativeLibraryPath(const std::wstring& library_path,
                               const std::wstring& launcher_folder,
                               const std::wstring& runtime_lib_folder,
                               const platform::SearchPathRules& rules,
                               const ExpandReferences& expand) {
  const wchar_t separator = rules.list_separator;
  std::wstring text = expand(library_path);
  EndWithSeparator(text, separator);
  text += launcher_folder;
  text += separator;
  text += CurrentSearchPath(rules, expand);
  EndWithSeparator(text, separator);
  text += runtime_lib_folder;
  // The current folder comes last, where the java command puts it: a library
  // there never wins over one of the application's or the system's.
  text += separator;
  text += L'.';
  return text;
}

std::wstring LoaderLibraryPath(const std::wstring& library_path,
                               const std::wstring& launcher_folder,
                               const std::wstring& current_value, wchar_t list_separator,
                               wchar_t path_separator, const ExpandReferences& expand) {
  std::wstring text = expand(library_path);
  EndWithSeparator(text, list_separator);
  std::wstring folder = launcher_folder;
  if (folder.size() > 1 && folder.back() == path_separator) folder.pop_back();
  text += folder;
  if (!current_value.empty()) {
    EndWithSeparator(text, list_separator);
    text += current_value;
  }
  return text;
}

std::wstring ExtendedSearchPath(const std::wstring& system_path,
                                const std::wstring& runtime_bin_folder,
                                const platform::SearchPathRules& rules,
                                const ExpandReferences& expand) {
  std::wstring text;
  AppendFolderEntries(text, expand(system_path), rules.list_separator);
  AppendFolderEntries(text, CurrentSearchPath(rules, expand), rules.list_separator);
  if (!text.empty()) text += rules.list_separator;
  text += runtime_bin_folder;
  return text;
}

}  // namespace korvan
