#include "platform/files.h"

#include <windows.h>

namespace korvan::platform {

bool PathExists(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE handle = FindFirstFileW(path.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return false;
  FindClose(handle);
  return true;
}

bool MakeDirectory(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

}  // namespace korvan::platform
