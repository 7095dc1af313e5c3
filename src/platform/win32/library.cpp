#include "platform/library.h"

#include <windows.h>

namespace korvan::platform {

LibraryHandle OpenLibrary(const std::wstring& path, LibraryLoadError& error) {
  // The loader may show a message box for a damaged or incomplete library;
  // the launcher reports failures as error lines, and a service has no one to
  // close the box.
  DWORD previous_mode = 0;
  const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_mode) != 0;
  HMODULE library = LoadLibraryW(path.c_str());
  if (library == nullptr) error.code = GetLastError();
  if (quiet) SetThreadErrorMode(previous_mode, nullptr);
  return reinterpret_cast<LibraryHandle>(library);
}

void* FindLibrarySymbol(LibraryHandle library, const char* name, std::uint32_t& error_code) {
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
  if (symbol == nullptr) error_code = GetLastError();
  return reinterpret_cast<void*>(symbol);
}

}  // namespace korvan::platform
