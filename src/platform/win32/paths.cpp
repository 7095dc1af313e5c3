#include "platform/paths.h"

#include <windows.h>

namespace korvan::platform {

SearchPathRules GetSearchPathRules() { return SearchPathRules{L"Path", L';'}; }

PathRules GetPathRules() { return PathRules{L'\\', false, false}; }

std::wstring UserSettingsRoot() {
  // A value that does not fit MAX_PATH is read whole rather than cut.
  DWORD size = MAX_PATH;
  std::wstring buffer(size, L'\0');
  DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), size);
  if (length >= size) {
    buffer.assign(length, L'\0');
    size = length;
    length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), size);
    if (length >= size) return std::wstring();
  }
  buffer.resize(length);
  return buffer;
}

}  // namespace korvan::platform
