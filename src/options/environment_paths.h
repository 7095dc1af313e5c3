#pragma once
// What the launcher publishes in its own environment before the VM starts:
// the runtime's folders, the VM's native library path and the new executable
// search path. Free of system calls: environment expansion is handed in.

#include <functional>
#include <string>

#include "platform/paths.h"
#include "platform/runtime_layout.h"

namespace korvan {

// Expands %NAME% references in a text.
using ExpandReferences = std::function<std::wstring(const std::wstring& text)>;

struct RuntimeFolders {
  std::wstring home;  // C:\jre for C:\jre\bin\server\jvm.dll
  std::wstring bin;   // C:\jre\bin
  std::wstring lib;   // C:\jre\lib
};

// The runtime home is the JVM library path without the layout's sub-path that
// it ends with (bin\server\jvm.dll, lib/server/libjvm.so, ...); bin and lib
// are folders of the home. A path that ends with none of them is cut at its
// last separator three times for the home and twice for the bin folder, and
// the lib folder is the bin folder's parent with "lib" appended.
RuntimeFolders RuntimeFoldersFor(const std::wstring& jvm_library_path,
                                 const platform::RuntimeLayout& layout);

// The value of the VM's native library path: "Library Path", the launcher
// folder, the current search path, the runtime lib folder and ".", each
// separated from the next by one list separator (a piece that already ends
// with one gets no second). References in "Library Path" and the search path
// variable are expanded.
std::wstring NativeLibraryPath(const std::wstring& library_path,
                               const std::wstring& launcher_folder,
                               const std::wstring& runtime_lib_folder,
                               const platform::SearchPathRules& rules,
                               const ExpandReferences& expand);

// The loader variable's new value where the VM builds its library path from
// it: "Library Path" (references expanded), the launcher folder without its
// final separator, then the variable's current value when it has one. No
// empty entry is added, since an empty entry would stand for the current folder.
std::wstring LoaderLibraryPath(const std::wstring& library_path,
                               const std::wstring& launcher_folder,
                               const std::wstring& current_value, wchar_t list_separator,
                               wchar_t path_separator, const ExpandReferences& expand);

// The new executable search path: "System Path" (references expanded), the
// current search path, then the runtime bin folder. Empty entries and entries
// left with a reference to an unset variable are left out: either would send
// the system looking for programs in the current folder.
std::wstring ExtendedSearchPath(const std::wstring& system_path,
                                const std::wstring& runtime_bin_folder,
                                const platform::SearchPathRules& rules,
                                const ExpandReferences& expand);

}  // namespace korvan
