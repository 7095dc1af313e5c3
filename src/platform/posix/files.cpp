#include "platform/files.h"

#include <sys/stat.h>

#include "platform/text.h"

namespace korvan::platform {

bool PathExists(const std::wstring& path) {
  struct stat status{};
  return !path.empty() && stat(NarrowFromWide(path).c_str(), &status) == 0;
}

bool MakeDirectory(const std::wstring& path) {
  return mkdir(NarrowFromWide(path).c_str(), 0777) == 0;
}

}  // namespace korvan::platform
