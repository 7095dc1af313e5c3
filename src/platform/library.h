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

// Windows: LoadLibraryW. POSIX: dlopen with RTLD_NOW, so that a library whose
// dependencies are missing fails here and not at its first call.
LibraryHandle OpenLibrary(const std::wstring& path, LibraryLoadError& error);

// Windows: GetProcAddress. POSIX: dlsym. Null when the library does not export
// the name; `error_code` then holds the system's code (127 on Windows).
void* FindLibrarySymbol(LibraryHandle library, const char* name, std::uint32_t& error_code);

}  // namespace korvan::platform
