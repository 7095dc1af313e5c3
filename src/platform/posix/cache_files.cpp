#include "platform/cache_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/text.h"

namespace korvan::platform {

namespace {

class FlockedFile final : public FileLock {
 public:
  explicit FlockedFile(int descriptor) : descriptor_(descriptor) {}
  ~FlockedFile() override { close(descriptor_); }  // closing drops the lock

 private:
  int descriptor_;
};

}  // namespace

FileStamp ReadFileStamp(const std::wstring& path) {
  struct stat status {};
  FileStamp stamp;
  if (stat(NarrowFromWide(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(status.st_size);
  stamp.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                   status.st_mtim.tv_nsec;
  return stamp;
}

std::unique_ptr<FileLock> TryLockFile(const std::wstring& path) {
  const int descriptor =
      open(NarrowFromWide(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor < 0) return nullptr;
  if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    close(descriptor);
    return nullptr;
  }
  return std::make_unique<FlockedFile>(descriptor);
}

std::optional<std::uint64_t> FreeSpace(const std::wstring& folder) {
  struct statvfs status {};
  if (statvfs(NarrowFromWide(folder).c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
}

bool RemoveFile(const std::wstring& path) { return unlink(NarrowFromWide(path).c_str()) == 0; }

bool WriteNewCacheFile(const std::wstring& path, const std::string& bytes) {
  const std::string name = NarrowFromWide(path);
  unlink(name.c_str());
  const int descriptor =
      open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  return close(descriptor) == 0 && written == bytes.size();
}

bool RenameOver(const std::wstring& from, const std::wstring& to) {
  return std::rename(NarrowFromWide(from).c_str(), NarrowFromWide(to).c_str()) == 0;
}

}  // namespace korvan::platform
