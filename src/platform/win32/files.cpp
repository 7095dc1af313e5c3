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

std::wstring CanonicalPath(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::wstring final_path(MAX_PATH, L'\0');
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  DWORD length = GetFinalPathNameByHandleW(file, final_path.data(),
                                           static_cast<DWORD>(final_path.size()), kFlags);
  if (length >= final_path.size()) {  // too small: `length` is the size needed
    final_path.resize(length);
    length = GetFinalPathNameByHandleW(file, final_path.data(),
                                       static_cast<DWORD>(final_path.size()), kFlags);
  }
  CloseHandle(file);
  if (length == 0 || length >= final_path.size()) return path;
  final_path.resize(length);
  const std::wstring unc = L"\\\\?\\UNC\\";
  const std::wstring local = L"\\\\?\\";
  if (final_path.compare(0, unc.size(), unc) == 0) return L"\\\\" + final_path.substr(unc.size());
  if (final_path.compare(0, local.size(), local) == 0) return final_path.substr(local.size());
  return final_path;
}

}  // namespace korvan::platform
