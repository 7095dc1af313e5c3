#include "platform/process.h"

#include <cerrno>
#include <clocale>
#include <climits>
#include <unistd.h>

#include "platform/text.h"

namespace korvan::platform {

std::vector<std::wstring> ApplicationArguments(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(WideFromNarrow(argv[i]));
  return arguments;
}

std::optional<std::wstring> ModuleFileName() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return std::nullopt;
  buffer.resize(static_cast<std::size_t>(length));
  return WideFromNarrow(buffer);
}

std::uint32_t LastErrorCode() { return static_cast<std::uint32_t>(errno); }

void UseSystemDefaultLocale() { std::setlocale(LC_ALL, ""); }

bool ChangeCurrentDirectory(const std::wstring& path) {
  return chdir(NarrowFromWide(path).c_str()) == 0;
}

void KeepCurrentFolderOutOfLibrarySearch() {}

}  // namespace korvan::platform
