#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/text.h"

namespace korvan::platform {

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
  // The file holds command lines: readable by its owner only, and never
  // written through a link that someone else may have planted at its name.
  const int file =
      open(NarrowFromWide(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (file < 0) return false;
  const ssize_t written = write(file, bytes.data(), bytes.size());
  close(file);
  return written == static_cast<ssize_t>(bytes.size());
}

}  // namespace korvan::platform
