#include "platform/process.h"

#include <windows.h>

#include "platform/shared/command_line.h"

namespace korvan::platform {

std::vector<std::wstring> ApplicationArguments(int, char**) {
  std::vector<std::wstring> tokens = SplitCommandLine(GetCommandLineW());
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

bool ModuleFileName(std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) return false;
  // A path cut to the buffer comes back as MAX_PATH with a NUL in the last
  // place (Windows XP leaves it out): the path ends at the first NUL.
  path.assign(buffer, wcsnlen(buffer, length));
  return true;
}

std::uint32_t LastErrorCode() { return GetLastError(); }

void UseSystemDefaultLocale() { SetThreadLocale(GetSystemDefaultLCID()); }

bool ChangeCurrentDirectory(const std::wstring& path) {
  return SetCurrentDirectoryW(path.c_str()) != 0;
}

}  // namespace korvan::platform
