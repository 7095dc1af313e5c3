#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/text.h"

namespace korvan::platform {

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  std::FILE* file = std::fopen(NarrowFromWide(path).c_str(), "rb");
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[65536];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
}

std::optional<std::uint64_t> FileByteCount(const std::wstring& path) {
  struct stat status {};
  if (stat(NarrowFromWide(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

bool ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t count,
                   std::string& bytes) {
  const int file = open(NarrowFromWide(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  bytes.assign(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = pread(file, bytes.data() + done, count - done,
                              static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  close(file);
  return done == count;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::FILE* file = std::fopen(NarrowFromWide(path).c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool CopyFileReplacing(const std::wstring& from, const std::wstring& to) {
  std::string bytes;
  struct stat status {};
  if (stat(NarrowFromWide(from).c_str(), &status) != 0 || !ReadFileBytes(from, bytes)) return false;
  if (!WriteFileBytes(to, bytes)) return false;
  return chmod(NarrowFromWide(to).c_str(), status.st_mode & 07777) == 0;
}

}  // namespace korvan::platform
