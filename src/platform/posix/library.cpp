#include "platform/library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text.h"

namespace korvan::platform {

namespace {

std::wstring TakeDlError() {
  const char* text = dlerror();
  return text != nullptr ? WideFromNarrow(text) : std::wstring();
}

// dlopen leaves errno alone; opening the file shows whether it could be read
// at all (ENOENT, EACCES, ...). A readable file that is no usable library
// keeps 0, and dlerror says why.
std::uint32_t FileAccessError(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return static_cast<std::uint32_t>(errno);
  close(file);
  return 0;
}

}  // namespace

LibraryHandle OpenLibrary(const std::wstring& path, LibraryLoadError& error) {
  const std::string narrow_path = NarrowFromWide(path);
  dlerror();  // forget an older failure
  errno = 0;
  void* library = dlopen(narrow_path.c_str(), RTLD_NOW);
  if (library == nullptr) {
    error.code = static_cast<std::uint32_t>(errno);
    error.detail = TakeDlError();
    if (error.code == 0) error.code = FileAccessError(narrow_path);
  }
  return library;
}

void* FindLibrarySymbol(LibraryHandle library, const char* name, std::uint32_t& error_code) {
  dlerror();
  errno = 0;
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    error_code = static_cast<std::uint32_t>(errno);
    dlerror();
  }
  return symbol;
}

}  // namespace korvan::platform
