#include "platform/library.h"

#include <windows.h>

namespace korvan::platform {

namespace {

// The Visual C++ run-time libraries that a Java runtime ships beside its
// tools: those of Java 11 and later, then of Java 9 and 10, then of Java 8.
constexpr const wchar_t* kRunTimeLibraries[] = {
    L"vcruntime140.dll", L"vcruntime140_1.dll", L"msvcp140.dll",
    L"msvcr120.dll",     L"msvcp120.dll",       L"msvcr100.dll"};

// Where the imports of a library are looked for: its own folder, the folders
// added with AddDllDirectory, then System32.
constexpr DWORD kTrustedFolders =
    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32;

// AddDllDirectory, and with it the search flags above, came with Windows 8 and
// an update of Windows 7; looked up so that a Windows without it still starts
// the launcher.
bool AddTrustedFolder(const std::wstring& folder) {
  using AddDllDirectoryFunction = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto add_dll_directory = reinterpret_cast<AddDllDirectoryFunction>(
      kernel != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory"))
                        : nullptr);
  return add_dll_directory != nullptr && add_dll_directory(folder.c_str()) != nullptr;
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) {
  return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

HMODULE LoadFromTrustedFolders(const std::wstring& path, const std::wstring& dependency_folder) {
  // Without the search flags, a library's own folder comes first for its
  // imports (then System32, ... and the search path, without the current folder).
  const DWORD flags = AddTrustedFolder(dependency_folder) ? kTrustedFolders
                                                           : LOAD_WITH_ALTERED_SEARCH_PATH;
  // Loaded by full path, these copies are the ones that every later library
  // of the runtime binds to (the VM loads its own libraries with plain
  // LoadLibraryW): never an older copy in System32 nor a planted one. A
  // runtime without one of them has its imports found by the search above.
  for (const wchar_t* name : kRunTimeLibraries) {
    const std::wstring library = InFolder(dependency_folder, name);
    if (GetFileAttributesW(library.c_str()) != INVALID_FILE_ATTRIBUTES) {
      LoadLibraryExW(library.c_str(), nullptr, flags);
    }
  }
  return LoadLibraryExW(path.c_str(), nullptr, flags);
}

}  // namespace

LibraryHandle OpenLibrary(const std::wstring& path, const std::wstring& dependency_folder,
                          LibraryLoadError& error) {
  // The loader may show a message box for a damaged or incomplete library;
  // the launcher reports failures as error lines, and a service has no one to
  // close the box.
  DWORD previous_mode = 0;
  const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_mode) != 0;
  HMODULE library = LoadFromTrustedFolders(path, dependency_folder);
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
