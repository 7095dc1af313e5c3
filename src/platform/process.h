#pragma once
// The launcher's own process: arguments, module path, locale, current folder.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvan::platform {

// The application arguments: the command line without the program path.
// Windows splits GetCommandLineW (the C run-time's argv is ignored); POSIX
// systems already hand over split arguments, so argv[1..] is taken as it is.
std::vector<std::wstring> ApplicationArguments(int argc, char** argv);

// The full path of the running executable; nothing on failure (see LastErrorCode).
std::optional<std::wstring> ModuleFileName();

// The error code of the last failed system call on this thread.
std::uint32_t LastErrorCode();

// Windows: SetThreadLocale(GetSystemDefaultLCID()). POSIX: setlocale(LC_ALL, "").
void UseSystemDefaultLocale();

bool ChangeCurrentDirectory(const std::wstring& path);

// Takes the current folder out of the places searched for the libraries that
// a library loaded later imports: a document opened from a downloads folder
// makes that folder the current one. Windows: SetDllDirectoryW with an empty
// text. POSIX: nothing to do, the loader never looks there unless told to.
void KeepCurrentFolderOutOfLibrarySearch();

}  // namespace korvan::platform
