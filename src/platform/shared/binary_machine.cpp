#include "platform/shared/binary_machine.h"

namespace korvan::platform {

namespace {

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

BinaryMachine PeMachine(const std::string& head) {
  // e_lfanew, at 0x3C of the MS-DOS header, is where "PE\0\0" starts; the
  // COFF header's Machine field follows it.
  constexpr std::size_t kNewHeaderOffset = 0x3C;
  if (head.size() < kNewHeaderOffset + 4) return {};
  const std::uint32_t pe = LittleEndian(head, kNewHeaderOffset, 4);
  if (pe > head.size() || head.size() - pe < 6) return {};
  if (head.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return {};
  return {BinaryFormat::Pe, static_cast<std::uint16_t>(LittleEndian(head, pe + 4, 2))};
}

BinaryMachine ElfMachine(const std::string& head) {
  // e_machine sits at offset 18 in both classes, in the byte order that
  // EI_DATA (offset 5) names: 1 little-endian, 2 big-endian.
  if (head.size() < 20) return {};
  const char data = head[5];
  if (data != 1 && data != 2) return {};
  const std::uint32_t code = data == 1 ? LittleEndian(head, 18, 2) : BigEndian(head, 18, 2);
  return {BinaryFormat::Elf, static_cast<std::uint16_t>(code)};
}

}  // namespace

BinaryMachine MachineOfBinary(const std::string& head) {
  if (head.compare(0, 2, "MZ") == 0) return PeMachine(head);
  if (head.compare(0, 4, "\x7f" "ELF") == 0) return ElfMachine(head);
  return {};
}

std::wstring MachineName(const BinaryMachine& machine) {
  struct Name {
    BinaryFormat format;
    std::uint16_t code;
    const wchar_t* name;
  };
  static const Name kNames[] = {
      {BinaryFormat::Pe, 0x014C, L"x86"},    {BinaryFormat::Pe, 0x8664, L"x64"},
      {BinaryFormat::Pe, 0xAA64, L"ARM64"},  {BinaryFormat::Pe, 0x01C4, L"ARM"},
      {BinaryFormat::Pe, 0x0200, L"IA-64"},  {BinaryFormat::Elf, 3, L"x86"},
      {BinaryFormat::Elf, 62, L"x86-64"},    {BinaryFormat::Elf, 183, L"AArch64"},
      {BinaryFormat::Elf, 40, L"ARM"},       {BinaryFormat::Elf, 243, L"RISC-V"},
      {BinaryFormat::Elf, 21, L"PowerPC64"}, {BinaryFormat::Elf, 22, L"S/390"},
  };
  for (const Name& name : kNames) {
    if (name.format == machine.format && name.code == machine.code) return name.name;
  }
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex = L"machine 0x";
  for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(machine.code >> shift) & 0xF];
  return hex;
}

}  // namespace korvan::platform
