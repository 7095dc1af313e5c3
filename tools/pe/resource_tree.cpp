#include "resource_tree.h"

#include <set>
#include <tuple>

#include "byte_order.h"

namespace korvan::pe {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kMaximumLeaves = 65536;

class TreeReader {
 public:
  TreeReader(std::string_view file, const PeImage& image, std::string_view section)
      : file_(file), image_(image), section_(section) {}

  bool Read(ResourceTree& tree) {
    ResourceKey key;
    return ReadDirectory(0, 0, key, tree);
  }
  const std::string& error() const { return error_; }

 private:
  bool Fail(const std::string& why) {
    error_ = "its resource section cannot be rebuilt safely: " + why;
    return false;
  }

  std::optional<ResourceId> ReadId(std::uint32_t field) {
    if ((field & kHighBit) == 0) {
      if (field > 0xFFFF) return std::nullopt;
      return ResourceId::Number(static_cast<std::uint16_t>(field));
    }
    const std::uint32_t offset = field & ~kHighBit;
    const auto length = ReadU16(section_, offset);
    if (!length || offset + 2ull + 2ull * *length > section_.size()) return std::nullopt;
    std::u16string name;
    for (std::size_t i = 0; i < *length; ++i) name += static_cast<char16_t>(*ReadU16(section_, offset + 2 + 2 * i));
    return ResourceId::Name(std::move(name));
  }

  bool ReadDirectory(std::uint32_t offset, int level, ResourceKey& key, ResourceTree& tree) {
    if (!visiting_.insert(offset).second) return Fail("a directory contains itself");
    const auto named = ReadU16(section_, offset + 12);
    const auto numbered = ReadU16(section_, offset + 14);
    if (!named || !numbered) return Fail("a directory lies outside the section");
    const std::size_t count = *named + *numbered;
    if (offset + kDirectoryHeaderSize + 8 * count > section_.size()) {
      return Fail("a directory's entries lie outside the section");
    }
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = offset + kDirectoryHeaderSize + 8 * i;
      const std::uint32_t id_field = *ReadU32(section_, entry);
      const std::uint32_t target = *ReadU32(section_, entry + 4);
      const std::optional<ResourceId> id = ReadId(id_field);
      if (!id) return Fail("an entry's name lies outside the section");
      const bool is_directory = (target & kHighBit) != 0;
      if (level < 2) {
        if (!is_directory) return Fail("data where a directory belongs");
        (level == 0 ? key.type : key.name) = *id;
        if (!ReadDirectory(target & ~kHighBit, level + 1, key, tree)) return false;
        continue;
      }
      if (is_directory || !id->number) return Fail("a language entry that is not a language");
      key.language = *id->number;
      if (!ReadData(target, key, tree)) return false;
    }
    visiting_.erase(offset);
    return true;
  }

  bool ReadData(std::uint32_t offset, const ResourceKey& key, ResourceTree& tree) {
    const auto rva = ReadU32(section_, offset);
    const auto size = ReadU32(section_, offset + 4);
    const auto codepage = ReadU32(section_, offset + 8);
    if (!rva || !size || !codepage || !ReadU32(section_, offset + 12)) {
      return Fail("a data entry lies outside the section");
    }
    const std::optional<std::string_view> bytes = image_.BytesAt(file_, *rva, *size);
    if (!bytes) return Fail("a resource's data lies outside the file's sections");
    if (tree.size() >= kMaximumLeaves) return Fail("too many resources");
    if (!tree.emplace(key, ResourceData{std::string(*bytes), *codepage}).second) {
      return Fail("a resource appears twice");
    }
    return true;
  }

  std::string_view file_;
  const PeImage& image_;
  std::string_view section_;
  std::set<std::uint32_t> visiting_;
  std::string error_;
};

}  // namespace

bool ResourceId::operator<(const ResourceId& other) const {
  if (number.has_value() != other.number.has_value()) return !number.has_value();  // names first
  if (number) return *number < *other.number;
  return name < other.name;
}

bool ResourceKey::operator<(const ResourceKey& other) const {
  if (type < other.type) return true;
  if (other.type < type) return false;
  if (name < other.name) return true;
  if (other.name < name) return false;
  return language < other.language;
}

std::optional<ResourceTree> ReadResourceTree(std::string_view file, const PeImage& image,
                                             std::string& error) {
  ResourceTree tree;
  if (image.resources.rva == 0 && image.resources.size == 0) return tree;
  // The directory runs to the end of the section's data that holds it.
  std::optional<std::string_view> section;
  for (const Section& candidate : image.sections) {
    if (image.resources.rva >= candidate.virtual_address &&
        image.resources.rva < candidate.virtual_address + candidate.raw_size) {
      section = image.BytesAt(file, image.resources.rva,
                              candidate.virtual_address + candidate.raw_size - image.resources.rva);
    }
  }
  if (!section) {
    error = "its resource directory lies outside the file's sections";
    return std::nullopt;
  }
  TreeReader reader(file, image, *section);
  if (!reader.Read(tree)) {
    error = reader.error();
    return std::nullopt;
  }
  return tree;
}

std::map<std::uint16_t, const ResourceData*> Languages(const ResourceTree& tree,
                                                       const ResourceId& type,
                                                       const ResourceId& name) {
  std::map<std::uint16_t, const ResourceData*> found;
  for (auto it = tree.lower_bound(ResourceKey{type, name, 0});
       it != tree.end() && it->first.type == type && it->first.name == name; ++it) {
    found.emplace(it->first.language, &it->second);
  }
  return found;
}

bool RemoveResource(ResourceTree& tree, const ResourceId& type, const ResourceId& name) {
  auto first = tree.lower_bound(ResourceKey{type, name, 0});
  auto last = first;
  while (last != tree.end() && last->first.type == type && last->first.name == name) ++last;
  const bool removed = first != last;
  tree.erase(first, last);
  return removed;
}

}  // namespace korvan::pe
