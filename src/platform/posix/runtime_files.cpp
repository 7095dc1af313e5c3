#include "platform/runtime_files.h"

#include <elf.h>

#include "platform/posix/regular_file.h"
#include "platform/shared/binary_machine.h"
#include "platform/text.h"

namespace korvan::platform {

std::optional<std::string> ReadFileHead(const std::wstring& path, std::size_t limit) {
  // A FIFO or device would block the read: regular files only.
  const std::optional<RegularFile> file = RegularFile::Open(NarrowFromWide(path));
  if (!file) return std::nullopt;
  return file->Read(limit);
}

BinaryMachine ProcessMachine() {
#if defined(__x86_64__)
  return {BinaryFormat::Elf, EM_X86_64};
#elif defined(__aarch64__)
  return {BinaryFormat::Elf, EM_AARCH64};
#elif defined(__i386__)
  return {BinaryFormat::Elf, EM_386};
#elif defined(__arm__)
  return {BinaryFormat::Elf, EM_ARM};
#elif defined(__riscv)
  return {BinaryFormat::Elf, EM_RISCV};
#else
#error "the machine of this process has no ELF code here yet"
#endif
}

}  // namespace korvan::platform
