#include "pe_writer.h"

#include <algorithm>

#include "byte_order.h"
#include "resource_writer.h"

namespace korvan::pe {
namespace {

constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceCharacteristics = 0x40000040;  // initialized data, readable

bool AllZero(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

void PutName(std::string& file, std::size_t header_offset, std::string_view name) {
  std::string field(name);
  field.resize(8, '\0');
  file.replace(header_offset, 8, field);
}

}  // namespace

std::optional<std::string> WriteWithResources(std::string_view file, const PeImage& image,
                                              const ResourceTree& tree, std::string& error) {
  if (image.certificates.rva != 0 || image.certificates.size != 0) {
    error = "it is signed, and the signature would no longer match: stamp it before signing";
    return std::nullopt;
  }
  const Section& last = image.sections.back();
  const std::uint32_t section_data_end = image.EndOfSectionData();
  const bool in_place = last.name == ".rsrc" && last.virtual_address == image.resources.rva &&
                        last.raw_size != 0 && last.raw_pointer + last.raw_size == section_data_end;
  if (image.symbol_table_pointer != 0 && image.symbol_table_pointer < section_data_end) {
    error = "its symbol table lies among its sections";
    return std::nullopt;
  }

  const std::uint32_t rva =
      in_place ? last.virtual_address
               : static_cast<std::uint32_t>(AlignUp(last.virtual_address + std::max(last.virtual_size, last.raw_size),
                                                    image.section_alignment));
  std::string section = WriteResourceSection(tree, rva);
  const std::uint32_t virtual_size = static_cast<std::uint32_t>(section.size());
  PadTo(section, image.file_alignment);
  const std::uint32_t raw_pointer =
      in_place ? last.raw_pointer : static_cast<std::uint32_t>(AlignUp(section_data_end, image.file_alignment));
  if (AlignUp(static_cast<std::uint64_t>(rva) + virtual_size, image.section_alignment) > 0xFFFFFFFFull ||
      static_cast<std::uint64_t>(raw_pointer) + section.size() + file.size() > 0xFFFFFFFFull) {
    error = "the result would be larger than a PE image can be";
    return std::nullopt;
  }

  std::string output(file.substr(0, in_place ? last.raw_pointer : section_data_end));
  output.resize(raw_pointer, '\0');
  output += section;
  const std::string_view overlay = file.substr(std::min<std::size_t>(section_data_end, file.size()));
  output += overlay;
  const std::int64_t shift = static_cast<std::int64_t>(raw_pointer + section.size()) - section_data_end;

  std::size_t header = last.header_offset;
  std::int64_t added_data = static_cast<std::int64_t>(section.size()) - (in_place ? last.raw_size : 0);
  if (!in_place) {
    header = image.section_table_offset + kSectionHeaderSize * image.sections.size();
    if (header + kSectionHeaderSize > image.size_of_headers ||
        !AllZero(file.substr(header, kSectionHeaderSize))) {
      error = "its headers leave no room for one more section";
      return std::nullopt;
    }
    for (const Section& old : image.sections) {
      if (old.virtual_address == image.resources.rva && old.name == ".rsrc") {
        PutName(output, old.header_offset, ".rsrcold");
      }
    }
    PutName(output, header, ".rsrc");
    PutU32(output, header + 36, kResourceCharacteristics);
    PutU16(output, image.NumberOfSectionsOffset(), static_cast<std::uint16_t>(image.sections.size() + 1));
  }
  PutU32(output, header + 8, virtual_size);
  PutU32(output, header + 12, rva);
  PutU32(output, header + 16, static_cast<std::uint32_t>(section.size()));
  PutU32(output, header + 20, raw_pointer);

  PutU32(output, image.ResourceDirectoryOffset(), rva);
  PutU32(output, image.ResourceDirectoryOffset() + 4, virtual_size);
  PutU32(output, image.SizeOfImageOffset(),
         static_cast<std::uint32_t>(AlignUp(static_cast<std::uint64_t>(rva) + virtual_size, image.section_alignment)));
  const std::uint32_t initialized = *ReadU32(output, image.SizeOfInitializedDataOffset());
  PutU32(output, image.SizeOfInitializedDataOffset(), static_cast<std::uint32_t>(initialized + added_data));
  if (image.symbol_table_pointer != 0) {
    PutU32(output, image.SymbolTablePointerOffset(),
           static_cast<std::uint32_t>(image.symbol_table_pointer + shift));
  }
  PutU32(output, image.CheckSumOffset(), 0);
  if (image.checksum != 0) PutU32(output, image.CheckSumOffset(), PeChecksum(output, image.CheckSumOffset()));
  return output;
}

}  // namespace korvan::pe
