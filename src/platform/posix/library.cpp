#include "platform/library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/regular_file.h"
#include "platform/runtime_files.h"
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

// Where the loadable segments of a 64-bit ELF file end, as its program
// headers say; nothing for a file that is no such ELF file (dlopen tells why).
std::optional<std::uint64_t> LoadableSegmentsEnd(const RegularFile& file) {
  Elf64_Ehdr header{};
  if (!file.ReadAt(0, &header, sizeof(header))) return std::nullopt;
  if (header.e_ident[EI_MAG0] != ELFMAG0 || header.e_ident[EI_MAG1] != ELFMAG1 ||
      header.e_ident[EI_MAG2] != ELFMAG2 || header.e_ident[EI_MAG3] != ELFMAG3 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(Elf64_Phdr)) {
    return std::nullopt;
  }
  std::uint64_t end = header.e_phoff + std::uint64_t{header.e_phnum} * sizeof(Elf64_Phdr);
  for (std::uint16_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment{};
    // A file cut inside its program headers ends before them.
    if (!file.ReadAt(header.e_phoff + i * sizeof(Elf64_Phdr), &segment, sizeof(segment))) break;
    if (segment.p_type == PT_LOAD && segment.p_offset + segment.p_filesz > end) {
      end = segment.p_offset + segment.p_filesz;
    }
  }
  return end;
}

// Why the file at `path` must not be handed to dlopen: it would block on a
// FIFO, and it maps a cut-short library and then dies of SIGBUS when the
// loader touches a page beyond the file's end. A library of another machine
// is named as such: dlopen only says that no such file exists. Nothing when
// dlopen may try.
std::optional<std::wstring> UnloadableFileProblem(const std::string& path) {
  struct stat status {};
  // A bare name is searched for by dlopen; a missing file is reported by it.
  if (path.find('/') == std::string::npos || stat(path.c_str(), &status) != 0) return std::nullopt;
  const std::optional<RegularFile> file = RegularFile::Open(path);
  if (!file) return WideFromNarrow(path) + L": not a regular file";
  if (const std::optional<std::wstring> machine = ForeignLibraryMachine(WideFromNarrow(path))) {
    return WideFromNarrow(path) + L" is built for " + *machine + L", which this launcher cannot load";
  }
  const std::optional<std::uint64_t> end = LoadableSegmentsEnd(*file);
  const auto size = static_cast<std::uint64_t>(file->status().st_size);
  if (end && *end > size) {
    return WideFromNarrow(path) + L": file is cut short (" + std::to_wstring(size) +
           L" bytes; its loadable segments need " + std::to_wstring(*end) + L")";
  }
  return std::nullopt;
}

}  // namespace

LibraryHandle OpenLibrary(const std::wstring& path, const std::wstring& /*dependency_folder*/,
                          LibraryLoadError& error) {
  const std::string narrow_path = NarrowFromWide(path);
  if (std::optional<std::wstring> problem = UnloadableFileProblem(narrow_path)) {
    error.code = 0;
    error.detail = *problem;
    return nullptr;
  }
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
