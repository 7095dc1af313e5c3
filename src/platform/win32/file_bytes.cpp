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

namespace {

HANDLE OpenForReading(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::optional<std::uint64_t> FileByteCount(const std::wstring& path) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  const bool known = GetFileSizeEx(file, &size) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t count,
                   std::string& bytes) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  bytes.assign(count, '\0');
  std::size_t done = 0;
  if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0) {
    while (done < count) {
      DWORD got = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1 << 20));
      if (ReadFile(file, bytes.data() + done, chunk, &got, nullptr) == 0 || got == 0) break;
      done += got;
    }
  }
  CloseHandle(file);
  return done == count;
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
