#include "platform/append_file.h"

#include <windows.h>

namespace korvan::platform {

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
  // FILE_APPEND_DATA alone makes every write land at the end, whoever else
  // has the file open.
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace korvan::platform
