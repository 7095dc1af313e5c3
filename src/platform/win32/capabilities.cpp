#include "platform/capabilities.h"

#include <windows.h>

namespace korvan::platform {

// True on every system of the Windows NT family.
bool RemembersUserRuntimeChoice() {
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    return extended.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  return GetVersionExW(&basic) && basic.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool UserSettingsNeedProductName() { return false; }

std::size_t LongestFindablePath() { return MAX_PATH - 1; }

}  // namespace korvan::platform
