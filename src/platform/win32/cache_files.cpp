#include "platform/cache_files.h"

#include <windows.h>


namespace korvan::platform {

namespace {

class ExclusiveHandle final : public FileLock {
 public:
  explicit ExclusiveHandle(HANDLE handle) : handle_(handle) {}
  ~ExclusiveHandle() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace

FileStamp ReadFileStamp(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FileStamp stamp;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return stamp;
  }
  stamp.exists = true;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

std::unique_ptr<FileLock> TryLockFile(const std::wstring& path) {
  // No sharing at all: a second opener gets ERROR_SHARING_VIOLATION, and the
  // system closes the handle when the process ends however it ends.
  // A link planted in its place is opened itself, never the file it names.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<ExclusiveHandle>(handle);
}

bool RemoveFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

bool WriteNewCacheFile(const std::wstring& path, const std::string& bytes) {
  DeleteFileW(path.c_str());
  // CREATE_NEW fails on any name that is there again, a link included.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete = bytes.empty() || (WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                    &written, nullptr) &&
                                          written == bytes.size());
  return CloseHandle(handle) != 0 && complete;
}

std::optional<std::uint64_t> FreeSpace(const std::wstring& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

bool RenameOver(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace korvan::platform
