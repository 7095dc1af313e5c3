#pragma once
// Dynamic libraries: the JVM library is loaded once and never unloaded.

#include <cstdint>
#include <string>

namespace korvan::platform {

using LibraryHandle = void*;

// Why a library did not load: the system error code (GetLastError on Windows,
// errno on POSIX) and, where the system has one, its own explanation (dlerror).
struct LibraryLoadError {
  std::uint32_t code = 0;
  std::wstring detail;
};

// Opens the library at `path` whose imports may come only from its own
// folder, `dependency_folder` and the system: never from the launcher's
// folder, the current folder or the folders of the search path, where anyone
// may have put a library of the same name.
// Windows: the Visual C++ run-time libraries that `dependency_folder` holds
// are loaded from it first by full path (as the java command does), so that
// every library the VM loads later binds to them too; then LoadLibraryExW
// searching the library's folder, `dependency_folder` (AddDllDirectory) and
// System32. POSIX: dlopen with RTLD_NOW, so that a library whose dependencies
// are missing fails here and not at its first call; its own run path finds
// them, and `dependency_folder` is not needed.
LibraryHandle OpenLibrary(const std::wstring& path, const std::wstring& dependency_folder,
                          LibraryLoadError& error);

// Windows: GetProcAddress. POSIX: dlsym. Null when the library does not export
// the name; `error_code` then holds the system's code (127 on Windows).
void* FindLibrarySymbol(LibraryHandle library, const char* name, std::uint32_t& error_code);

}  // namespace korvan::platform
