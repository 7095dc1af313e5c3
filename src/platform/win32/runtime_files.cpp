#include "platform/runtime_files.h"

#include <windows.h>

#include "platform/shared/binary_machine.h"

namespace korvan::platform {

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::optional<std::string> ReadFileHead(const std::wstring& path, std::size_t limit) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  // Only files on disk: a pipe or device would block the read.
  if (file.get() == INVALID_HANDLE_VALUE || GetFileType(file.get()) != FILE_TYPE_DISK) {
    return std::nullopt;
  }
  std::string bytes(limit, '\0');
  std::size_t filled = 0;
  while (filled < limit) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(limit - filled), &read,
                  nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    filled += read;
  }
  bytes.resize(filled);
  return bytes;
}

BinaryMachine ProcessMachine() {
#if defined(__aarch64__) || defined(_M_ARM64)
  return {BinaryFormat::Pe, 0xAA64};  // IMAGE_FILE_MACHINE_ARM64
#elif defined(__x86_64__) || defined(_M_X64)
  return {BinaryFormat::Pe, 0x8664};  // IMAGE_FILE_MACHINE_AMD64
#else
  return {BinaryFormat::Pe, 0x014C};  // IMAGE_FILE_MACHINE_I386
#endif
}

}  // namespace korvan::platform
