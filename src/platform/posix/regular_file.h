#pragma once
// Opening a file that must be a regular file, for reading. The open never
// blocks (a FIFO with no writer would wait forever), the file's kind is taken
// from the open descriptor (so it cannot change between the check and the
// read), and everything is read from that same descriptor.

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>

namespace korvan::platform {

class RegularFile {
 public:
  // Nothing when the path cannot be opened or is no regular file (a folder,
  // a FIFO, a device).
  static std::optional<RegularFile> Open(const std::string& path);

  RegularFile(RegularFile&& other) noexcept;
  RegularFile& operator=(RegularFile&&) = delete;
  ~RegularFile();

  const struct stat& status() const { return status_; }

  // At most `limit` bytes from the start; nothing when a read fails.
  std::optional<std::string> Read(std::size_t limit) const;

  // `size` bytes at `offset`; false when the file holds fewer.
  bool ReadAt(std::size_t offset, void* bytes, std::size_t size) const;

 private:
  RegularFile(int descriptor, const struct stat& status) : descriptor_(descriptor), status_(status) {}

  int descriptor_;
  struct stat status_;
};

}  // namespace korvan::platform
