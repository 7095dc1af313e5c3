#include "platform/file_bytes.h"

#include <windows.h>

#include <algorithm>

namespace korvan::platform {

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[65536];
  DWORD count = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof(buffer), &count, nullptr) != 0) && count > 0) {
    bytes.append(buffer, count);
  }
  CloseHandle(file);
  return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0;
    done += written;
  }
  return CloseHandle(file) != 0 && ok;
}

bool CopyFileReplacing(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

}  // namespace korvan::platform
