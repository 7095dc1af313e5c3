#include "pe_image.h"

#include <algorithm>
#include <cstdio>

#include "byte_order.h"

namespace korvan::pe {
namespace {

constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDataDirectoriesOffset = 112;  // in the PE32+ optional header

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

std::uint32_t PeImage::EndOfSectionData() const {
  std::uint32_t end = size_of_headers;
  for (const Section& section : sections) {
    if (section.raw_size != 0) end = std::max(end, section.raw_pointer + section.raw_size);
  }
  return end;
}

std::optional<std::string_view> PeImage::BytesAt(std::string_view file, std::uint32_t rva,
                                                 std::uint32_t size) const {
  for (const Section& section : sections) {
    if (rva < section.virtual_address) continue;
    const std::uint64_t start = rva - section.virtual_address;
    if (start + size > section.raw_size) continue;
    return file.substr(section.raw_pointer + start, size);
  }
  return std::nullopt;
}

std::optional<PeImage> ParsePeImage(std::string_view file, std::string& error) {
  const auto refuse = [&error](const std::string& why) -> std::optional<PeImage> {
    error = why;
    return std::nullopt;
  };
  if (file.size() < 2 || file.substr(0, 2) != "MZ") return refuse("not a Windows executable");
  const auto pe_offset = ReadU32(file, 0x3C);
  if (!pe_offset) return refuse("truncated: the DOS header ends early");
  if (static_cast<std::uint64_t>(*pe_offset) + 4 + kCoffHeaderSize > file.size()) {
    return refuse("truncated: no PE header where the DOS header points");
  }
  if (file.substr(*pe_offset, 4) != std::string_view("PE\0\0", 4)) {
    return refuse("not a PE executable (an old DOS or 16-bit program?)");
  }
  PeImage image;
  image.coff_offset = *pe_offset + 4;
  const std::uint16_t machine = *ReadU16(file, image.coff_offset);
  if (machine != kMachineAmd64) {
    char text[64];
    std::snprintf(text, sizeof(text), "built for machine type 0x%04x, not x86-64 (0x8664)", machine);
    return refuse(text);
  }
  const std::uint16_t section_count = *ReadU16(file, image.coff_offset + 2);
  image.symbol_table_pointer = *ReadU32(file, image.coff_offset + 8);
  const std::uint16_t optional_size = *ReadU16(file, image.coff_offset + 16);
  const std::uint16_t characteristics = *ReadU16(file, image.coff_offset + 18);
  if ((characteristics & kExecutableImage) == 0) return refuse("an object file, not an executable image");

  image.optional_offset = image.coff_offset + kCoffHeaderSize;
  if (image.optional_offset + optional_size > file.size()) {
    return refuse("truncated: the optional header ends early");
  }
  const std::string_view optional = file.substr(image.optional_offset, optional_size);
  const auto magic = ReadU16(optional, 0);
  if (!magic || *magic != kPe32PlusMagic) return refuse("not a 64-bit (PE32+) executable");
  if (optional_size < kDataDirectoriesOffset) return refuse("the optional header is too short");
  image.section_alignment = *ReadU32(optional, 32);
  image.file_alignment = *ReadU32(optional, 36);
  image.size_of_headers = *ReadU32(optional, 60);
  image.checksum = *ReadU32(optional, 64);
  const std::uint32_t directory_count = *ReadU32(optional, 108);
  if (directory_count < 5 || kDataDirectoriesOffset + 8ull * directory_count > optional_size) {
    return refuse("the optional header holds no resource or certificate directory entry");
  }
  image.resources = {*ReadU32(optional, kDataDirectoriesOffset + 16),
                     *ReadU32(optional, kDataDirectoriesOffset + 20)};
  image.certificates = {*ReadU32(optional, kDataDirectoriesOffset + 32),
                        *ReadU32(optional, kDataDirectoriesOffset + 36)};
  if (!IsPowerOfTwo(image.file_alignment) || image.file_alignment < 512 ||
      image.file_alignment > 65536 || !IsPowerOfTwo(image.section_alignment) ||
      image.section_alignment < image.file_alignment) {
    return refuse("its section or file alignment is not valid");
  }

  image.section_table_offset = image.optional_offset + optional_size;
  if (image.section_table_offset + kSectionHeaderSize * section_count > file.size()) {
    return refuse("truncated: the section table ends early");
  }
  if (image.section_table_offset + kSectionHeaderSize * section_count > image.size_of_headers ||
      image.size_of_headers > file.size()) {
    return refuse("its headers are larger than SizeOfHeaders says");
  }
  for (std::size_t i = 0; i < section_count; ++i) {
    const std::size_t offset = image.section_table_offset + kSectionHeaderSize * i;
    Section section;
    section.name = std::string(file.substr(offset, 8).substr(0, file.substr(offset, 8).find('\0')));
    section.virtual_size = *ReadU32(file, offset + 8);
    section.virtual_address = *ReadU32(file, offset + 12);
    section.raw_size = *ReadU32(file, offset + 16);
    section.raw_pointer = *ReadU32(file, offset + 20);
    section.characteristics = *ReadU32(file, offset + 36);
    section.header_offset = offset;
    if (section.raw_size != 0 &&
        static_cast<std::uint64_t>(section.raw_pointer) + section.raw_size > file.size()) {
      return refuse("truncated: section " + section.name + " ends past the end of the file");
    }
    if (!image.sections.empty() &&
        section.virtual_address < image.sections.back().virtual_address +
                                      std::max(image.sections.back().virtual_size, 1u)) {
      return refuse("its sections are not in address order");
    }
    image.sections.push_back(section);
  }
  if (image.sections.empty()) return refuse("it has no sections");
  return image;
}

std::uint32_t PeChecksum(std::string_view file, std::size_t checksum_offset) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    if (i == checksum_offset || i == checksum_offset + 2) continue;
    std::uint32_t word = static_cast<unsigned char>(file[i]);
    if (i + 1 < file.size()) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(file[i + 1])) << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}

}  // namespace korvan::pe
