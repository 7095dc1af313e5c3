#pragma once
// The layout of a PE32+ executable for x86-64, read from its bytes: the
// headers the resource writer changes and the section table. Anything else
// (another machine, a 32-bit image, a truncated or inconsistent file) is
// refused with a message that says why.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::pe {

struct Section {
  std::string name;  // up to 8 bytes, as stored ("/4" for a long name)
  std::uint32_t virtual_size = 0;
  std::uint32_t virtual_address = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_pointer = 0;
  std::uint32_t characteristics = 0;
  std::size_t header_offset = 0;  // of its 40-byte entry in the file
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct PeImage {
  std::size_t coff_offset = 0;      // the file header, after "PE\0\0"
  std::size_t optional_offset = 0;  // the PE32+ optional header
  std::size_t section_table_offset = 0;
  std::uint32_t symbol_table_pointer = 0;
  std::uint32_t section_alignment = 0;
  std::uint32_t file_alignment = 0;
  std::uint32_t size_of_headers = 0;
  std::uint32_t checksum = 0;
  DataDirectory resources;
  DataDirectory certificates;
  std::vector<Section> sections;  // in table order

  // File offsets of the fields the writer updates.
  std::size_t CheckSumOffset() const { return optional_offset + 64; }
  std::size_t SubsystemOffset() const { return optional_offset + 68; }
  std::size_t SizeOfImageOffset() const { return optional_offset + 56; }
  std::size_t SizeOfInitializedDataOffset() const { return optional_offset + 8; }
  std::size_t ResourceDirectoryOffset() const { return optional_offset + 112 + 2 * 8; }
  std::size_t NumberOfSectionsOffset() const { return coff_offset + 2; }
  std::size_t SymbolTablePointerOffset() const { return coff_offset + 8; }

  // The end of the last section's data in the file; what follows is overlay
  // (the COFF symbol table of an unstripped mingw build, for instance).
  std::uint32_t EndOfSectionData() const;

  // `size` bytes at `rva`, when they lie in one section's file data.
  std::optional<std::string_view> BytesAt(std::string_view file, std::uint32_t rva,
                                          std::uint32_t size) const;
};

// Reads the layout of `file`, or says in `error` why it is not an x86-64
// Windows executable this tool can edit.
std::optional<PeImage> ParsePeImage(std::string_view file, std::string& error);

// The PE checksum of `file` with its checksum field (at `checksum_offset`) skipped.
std::uint32_t PeChecksum(std::string_view file, std::size_t checksum_offset);

}  // namespace korvan::pe
