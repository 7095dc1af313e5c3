#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/text.h"

namespace korvan::platform {

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
  const int file = open(NarrowFromWide(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (file < 0) return false;
  const ssize_t written = write(file, bytes.data(), bytes.size());
  close(file);
  return written == static_cast<ssize_t>(bytes.size());
}

}  // namespace korvan::platform
