#include "icon_file.h"

#include "byte_order.h"

namespace korvan::pe {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint16_t kIconKind = 1;  // 2 would be a cursor

}  // namespace

std::optional<std::vector<IconImage>> ParseIconFile(std::string_view file, std::string& error) {
  const auto reserved = ReadU16(file, 0);
  const auto kind = ReadU16(file, 2);
  const auto count = ReadU16(file, 4);
  if (!reserved || !kind || !count || *reserved != 0 || *kind != kIconKind) {
    error = "not an icon file (.ico)";
    return std::nullopt;
  }
  if (*count == 0) {
    error = "the icon file holds no image";
    return std::nullopt;
  }
  if (kHeaderSize + kFileEntrySize * *count > file.size()) {
    error = "the icon file is truncated: its directory ends early";
    return std::nullopt;
  }
  std::vector<IconImage> images;
  for (std::size_t i = 0; i < *count; ++i) {
    const std::size_t entry = kHeaderSize + kFileEntrySize * i;
    IconImage image;
    image.width = static_cast<std::uint8_t>(file[entry]);
    image.height = static_cast<std::uint8_t>(file[entry + 1]);
    image.color_count = static_cast<std::uint8_t>(file[entry + 2]);
    image.planes = *ReadU16(file, entry + 4);
    image.bit_count = *ReadU16(file, entry + 6);
    const std::uint32_t size = *ReadU32(file, entry + 8);
    const std::uint32_t offset = *ReadU32(file, entry + 12);
    if (size == 0 || static_cast<std::uint64_t>(offset) + size > file.size()) {
      error = "the icon file is truncated: image " + std::to_string(i + 1) + " lies outside it";
      return std::nullopt;
    }
    image.bytes = std::string(file.substr(offset, size));
    images.push_back(std::move(image));
  }
  return images;
}

std::string GroupIconBytes(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids) {
  std::string group;
  AppendU16(group, 0);
  AppendU16(group, kIconKind);
  AppendU16(group, static_cast<std::uint16_t>(images.size()));
  for (std::size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    group += static_cast<char>(image.width);
    group += static_cast<char>(image.height);
    group += static_cast<char>(image.color_count);
    group += '\0';
    AppendU16(group, image.planes);
    AppendU16(group, image.bit_count);
    AppendU32(group, static_cast<std::uint32_t>(image.bytes.size()));
    AppendU16(group, ids[i]);
  }
  return group;
}

std::vector<std::uint16_t> GroupIconIds(std::string_view group) {
  const auto count = ReadU16(group, 4);
  if (!count || kHeaderSize + kGroupEntrySize * *count > group.size()) return {};
  std::vector<std::uint16_t> ids;
  for (std::size_t i = 0; i < *count; ++i) ids.push_back(*ReadU16(group, kHeaderSize + kGroupEntrySize * i + 12));
  return ids;
}

}  // namespace korvan::pe
