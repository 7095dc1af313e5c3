#include "platform/files.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "platform/text.h"

namespace korvan::platform {

bool PathExists(const std::wstring& path) {
  struct stat status{};
  return !path.empty() && stat(NarrowFromWide(path).c_str(), &status) == 0;
}

bool MakeDirectory(const std::wstring& path) {
  return mkdir(NarrowFromWide(path).c_str(), 0700) == 0;
}

std::wstring CanonicalPath(const std::wstring& path) {
  char resolved[PATH_MAX];
  if (realpath(NarrowFromWide(path).c_str(), resolved) == nullptr) return path;
  return WideFromNarrow(resolved);
}

}  // namespace korvan::platform
