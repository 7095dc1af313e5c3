#include "platform/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/text.h"

namespace korvan::platform {

std::wstring MakePrivateFolder(const std::wstring& parent, const std::wstring& prefix) {
  std::string name = NarrowFromWide(parent + L"/" + prefix) + "XXXXXX";
  if (mkdtemp(name.data()) == nullptr) return std::wstring();
  return WideFromNarrow(name);
}

bool WriteNewPrivateFile(const std::wstring& path, const std::string& bytes) {
  const int file =
      open(NarrowFromWide(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (file < 0) return false;
  bool written = true;
  for (std::size_t done = 0; written && done < bytes.size();) {
    const ssize_t now = write(file, bytes.data() + done, bytes.size() - done);
    written = now > 0;
    if (written) done += static_cast<std::size_t>(now);
  }
  return close(file) == 0 && written;
}

}  // namespace korvan::platform
