#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace korvan::platform {

std::optional<RegularFile> RegularFile::Open(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat status {};
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return std::nullopt;
  }
  return RegularFile(descriptor, status);
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : descriptor_(other.descriptor_), status_(other.status_) {
  other.descriptor_ = -1;
}

RegularFile::~RegularFile() {
  if (descriptor_ >= 0) close(descriptor_);
}

std::optional<std::string> RegularFile::Read(std::size_t limit) const {
  const auto size = static_cast<std::size_t>(status_.st_size);
  std::string bytes;
  bytes.reserve(size < limit ? size : limit);
  char chunk[65536];
  while (bytes.size() < limit) {
    std::size_t wanted = limit - bytes.size();
    if (wanted > sizeof(chunk)) wanted = sizeof(chunk);
    const ssize_t got = pread(descriptor_, chunk, wanted, static_cast<off_t>(bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool RegularFile::ReadAt(std::size_t offset, void* bytes, std::size_t size) const {
  auto* target = static_cast<char*>(bytes);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = pread(descriptor_, target + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace korvan::platform
