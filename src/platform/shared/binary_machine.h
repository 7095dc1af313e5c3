#pragma once
// The machine an executable or library was built for, read from its header:
// the PE header on Windows (its COFF "Machine" field), the ELF header
// elsewhere ("e_machine"). A library of another machine cannot be loaded
// into this process, whatever its name.

#include <cstdint>
#include <string>

namespace korvan::platform {

enum class BinaryFormat { Unknown, Pe, Elf };

struct BinaryMachine {
  BinaryFormat format = BinaryFormat::Unknown;
  std::uint16_t code = 0;  // IMAGE_FILE_MACHINE_* or EM_*
};

// How many bytes of a file `MachineOfBinary` needs at most.
constexpr std::size_t kBinaryHeadSize = 4096;

// The machine named by the first bytes of a file; Unknown when they are no
// PE or ELF header (or the PE header lies beyond the bytes given).
BinaryMachine MachineOfBinary(const std::string& head);

// A name users know: "x64", "x86", "ARM64", ... or the number in hex.
std::wstring MachineName(const BinaryMachine& machine);

// The machine of the launcher's own process.
BinaryMachine ProcessMachine();

}  // namespace korvan::platform
