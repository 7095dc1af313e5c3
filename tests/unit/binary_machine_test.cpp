// The machine of a library as its PE or ELF header names it.
#include "platform/shared/binary_machine.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace korvan::platform {
namespace {

// An MS-DOS stub whose e_lfanew points at a PE signature and COFF Machine.
std::string Pe(std::uint16_t machine, std::uint32_t pe_offset = 0x80, const char* signature = "PE") {
  std::string bytes(pe_offset + 24, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>((pe_offset >> (8 * i)) & 0xFF);
  if (pe_offset + 6 <= bytes.size()) {
    bytes.replace(pe_offset, 2, signature);
    bytes[pe_offset + 4] = static_cast<char>(machine & 0xFF);
    bytes[pe_offset + 5] = static_cast<char>(machine >> 8);
  }
  return bytes;
}

// An MS-DOS header alone whose e_lfanew points anywhere.
std::string MzPointingAt(std::uint32_t pe_offset) {
  std::string bytes(0x40, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>((pe_offset >> (8 * i)) & 0xFF);
  return bytes;
}

// An ELF identification and e_machine in the given byte order (1 LE, 2 BE).
std::string Elf(std::uint16_t machine, char data = 1, char elf_class = 2) {
  std::string bytes(64, '\0');
  bytes.replace(0, 4, "\x7f" "ELF");
  bytes[4] = elf_class;
  bytes[5] = data;
  bytes[18] = static_cast<char>(data == 2 ? machine >> 8 : machine & 0xFF);
  bytes[19] = static_cast<char>(data == 2 ? machine & 0xFF : machine >> 8);
  return bytes;
}

struct MachineCase {
  const char* name;
  std::string head;
  BinaryFormat format;
  std::uint16_t code;
  const wchar_t* machine_name;  // nullptr: not asked
};

class BinaryMachineTest : public testing::TestWithParam<MachineCase> {};

TEST_P(BinaryMachineTest, ReadsTheHeader) {
  const MachineCase& c = GetParam();
  const BinaryMachine machine = MachineOfBinary(c.head);
  EXPECT_EQ(machine.format, c.format);
  EXPECT_EQ(machine.code, c.code);
  if (c.machine_name != nullptr) {
    EXPECT_EQ(NarrowFromWide(MachineName(machine)), NarrowFromWide(c.machine_name));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryMachineTest,
    testing::Values(
        MachineCase{"PeX64", Pe(0x8664), BinaryFormat::Pe, 0x8664, L"x64"},
        MachineCase{"PeX86", Pe(0x014C), BinaryFormat::Pe, 0x014C, L"x86"},
        MachineCase{"PeArm64", Pe(0xAA64), BinaryFormat::Pe, 0xAA64, L"ARM64"},
        MachineCase{"PeUnknownMachineIsNamedInHex", Pe(0x1234), BinaryFormat::Pe, 0x1234,
                    L"machine 0x1234"},
        MachineCase{"PeHeaderLateInTheFile", Pe(0x014C, 0xF00), BinaryFormat::Pe, 0x014C, nullptr},
        MachineCase{"PeHeaderBeyondTheBytesRead", Pe(0x014C, 0x80).substr(0, 0x84),
                    BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"PeOffsetFarOutside", MzPointingAt(0xFFFFFFF0u), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"MzWithoutPeSignature", Pe(0x8664, 0x80, "NE"), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"MzTooShortForItsHeader", std::string("MZ", 2), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"ElfX8664", Elf(62), BinaryFormat::Elf, 62, L"x86-64"},
        MachineCase{"ElfAarch64", Elf(183), BinaryFormat::Elf, 183, L"AArch64"},
        MachineCase{"Elf32BitX86", Elf(3, 1, 1), BinaryFormat::Elf, 3, L"x86"},
        MachineCase{"ElfBigEndian", Elf(21, 2), BinaryFormat::Elf, 21, L"PowerPC64"},
        MachineCase{"ElfWithoutByteOrder", Elf(62, 0), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"ElfTruncated", Elf(62).substr(0, 19), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"EmptyFile", std::string(), BinaryFormat::Unknown, 0, nullptr},
        MachineCase{"ShellScript", std::string("#!/bin/sh\nexec java \"$@\"\n"), BinaryFormat::Unknown, 0,
                    nullptr}),
    [](const testing::TestParamInfo<MachineCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::platform
