#include "platform/library.h"

#include <windows.h>

namespace korvan::platform {

LibraryHandle OpenLibrary(const std::wstring& path, LibraryLoadError& error) {
  HMODULE library = LoadLibraryW(path.c_str());
  if (library == nullptr) error.code = GetLastError();
  return reinterpret_cast<LibraryHandle>(library);
}

void* FindLibrarySymbol(LibraryHandle library, const char* name, std::uint32_t& error_code) {
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
  if (symbol == nullptr) error_code = GetLastError();
  return reinterpret_cast<void*>(symbol);
}

}  // namespace korvan::platform
