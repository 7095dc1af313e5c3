#include "platform/user_roots.h"

#include <windows.h>

namespace korvan::platform {

namespace {

// A value that does not fit MAX_PATH is read whole rather than cut.
std::wstring ReadFolderVariable(const wchar_t* variable) {
  DWORD size = MAX_PATH;
  std::wstring buffer(size, L'\0');
  DWORD length = GetEnvironmentVariableW(variable, buffer.data(), size);
  if (length >= size) {
    buffer.assign(length, L'\0');
    size = length;
    length = GetEnvironmentVariableW(variable, buffer.data(), size);
    if (length >= size) return std::wstring();
  }
  buffer.resize(length);
  return buffer;
}

}  // namespace

// The profile's folders are the user's own: nothing to check.
UserRoot UserSettingsRoot() { return UserRoot{ReadFolderVariable(L"APPDATA"), {}}; }

UserRoot UserCacheRoot() { return UserRoot{ReadFolderVariable(L"LOCALAPPDATA"), {}}; }

}  // namespace korvan::platform
