#include "platform/process.h"

#include <windows.h>

#include "launcher/command_line.h"

namespace korvan::platform {

std::vector<std::wstring> ApplicationArguments(int, char**) {
  std::vector<std::wstring> tokens = SplitCommandLine(GetCommandLineW());
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

std::optional<std::wstring> ModuleFileName() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (length == 0) return std::nullopt;
  // A path cut to the buffer comes back as MAX_PATH with a NUL in the last
  // place (Windows XP leaves it out): the path ends at the first NUL.
  return std::wstring(buffer, wcsnlen(buffer, length));
}

std::uint32_t LastErrorCode() { return GetLastError(); }

void UseSystemDefaultLocale() { SetThreadLocale(GetSystemDefaultLCID()); }

bool ChangeCurrentDirectory(const std::wstring& path) {
  return SetCurrentDirectoryW(path.c_str()) != 0;
}

bool IsWindowsNtFamily() {
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    return extended.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  return GetVersionExW(&basic) && basic.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace korvan::platform
