#include "platform/process.h"

#include <windows.h>

#include "platform/shared/command_line.h"

namespace korvan::platform {

std::vector<std::wstring> ApplicationArguments(int, char**) {
  std::vector<std::wstring> tokens = SplitCommandLine(GetCommandLineW());
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

std::optional<std::wstring> ModuleFileName() {
  // Windows paths run to 32767 characters; a launcher deep in a folder tree
  // has a path beyond MAX_PATH, and a cut one would name another settings file.
  constexpr DWORD kLongestPath = 32768;
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const auto size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return std::nullopt;
    // A path cut to the buffer comes back as its size, with a NUL in the last
    // place (Windows XP leaves it out): read it again with twice the room.
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
    if (size >= kLongestPath) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return std::nullopt;
    }
    buffer.resize(size * 2);
  }
}

std::uint32_t LastErrorCode() { return GetLastError(); }

void UseSystemDefaultLocale() { SetThreadLocale(GetSystemDefaultLCID()); }

bool ChangeCurrentDirectory(const std::wstring& path) {
  return SetCurrentDirectoryW(path.c_str()) != 0;
}

void KeepCurrentFolderOutOfLibrarySearch() { SetDllDirectoryW(L""); }

}  // namespace korvan::platform
