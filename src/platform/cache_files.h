#pragma once
// What a per-user cache needs of the file system (user_roots.h says where
// caches live): a file's size and time, an exclusive lock that the system
// drops when the process ends, and replacing one file by another in one step.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace korvan::platform {

struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // the system's own unit; only ever compared
};

// A regular file's size and last write time; `exists` false for anything else.
FileStamp ReadFileStamp(const std::wstring& path);

// Held until destroyed or until the process ends, whichever comes first.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// Creates `path` when needed and locks it for this process alone; null when
// another process holds it or the file cannot be created.
std::unique_ptr<FileLock> TryLockFile(const std::wstring& path);

// The bytes that this user may still write on the disk that holds `folder`;
// nothing when it cannot be told.
std::optional<std::uint64_t> FreeSpace(const std::wstring& folder);

bool RemoveFile(const std::wstring& path);

// Removes `path` and creates it anew, for this user alone, holding `bytes`.
// Whatever is planted there meanwhile (a link to another file) makes it fail
// rather than be followed.
bool WriteNewCacheFile(const std::wstring& path, const std::string& bytes);

// Puts `from` in the place of `to` in one step; readers see the old file or
// the new one, never a part of either.
bool RenameOver(const std::wstring& from, const std::wstring& to);

}  // namespace korvan::platform
