#include "platform/private_file.h"

#include <windows.h>

#include <string>

namespace korvan::platform {

std::wstring MakePrivateFolder(const std::wstring& parent, const std::wstring& prefix) {
  // CreateDirectoryW makes only a folder that is new, so a name taken by
  // anyone else just moves on to the next.
  const std::wstring base = parent + L"\\" + prefix + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = base + std::to_wstring(GetTickCount() + attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::wstring();
}

bool WriteNewPrivateFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  const BOOL closed = CloseHandle(file);
  return ok && closed && written == bytes.size();
}

}  // namespace korvan::platform
