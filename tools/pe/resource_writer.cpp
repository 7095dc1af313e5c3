#include "resource_writer.h"

#include <vector>

#include "byte_order.h"

namespace korvan::pe {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kDataAlignment = 8;

// One directory to write: its entries' ids, and for each either the index of
// a subdirectory or of a leaf (a tree entry).
struct Directory {
  struct Entry {
    const ResourceId* id;
    std::size_t child;  // directory index, or leaf index at the language level
  };
  std::vector<Entry> entries;
  bool leaves = false;
};

// Builds the directories breadth first: root, then every type's, then every name's.
// `language_storage` holds the language ids the entries point to.
std::vector<Directory> Directories(const ResourceTree& tree, std::vector<const ResourceData*>& leaves,
                                   std::vector<ResourceId>& language_storage) {
  language_storage.reserve(tree.size());  // no reallocation: entries keep pointers
  std::vector<Directory> types(1);  // the root
  std::vector<Directory> names;
  std::vector<Directory> languages;
  const ResourceId* type = nullptr;
  const ResourceId* name = nullptr;
  for (const auto& [key, data] : tree) {
    if (type == nullptr || !(*type == key.type)) {
      type = &key.type;
      name = nullptr;
      types[0].entries.push_back({type, names.size()});
      names.emplace_back();
    }
    if (name == nullptr || !(*name == key.name)) {
      name = &key.name;
      names.back().entries.push_back({name, languages.size()});
      languages.emplace_back();
      languages.back().leaves = true;
    }
    language_storage.push_back(ResourceId::Number(key.language));
    languages.back().entries.push_back({&language_storage.back(), leaves.size()});
    leaves.push_back(&data);
  }
  // Renumber children as indices in the one list: root, names' parents, languages' parents.
  const std::size_t name_base = 1;
  const std::size_t language_base = 1 + names.size();
  for (auto& entry : types[0].entries) entry.child += name_base;
  for (auto& directory : names) {
    for (auto& entry : directory.entries) entry.child += language_base;
  }
  std::vector<Directory> all = std::move(types);
  all.insert(all.end(), names.begin(), names.end());
  all.insert(all.end(), languages.begin(), languages.end());
  return all;
}

}  // namespace

std::string WriteResourceSection(const ResourceTree& tree, std::uint32_t section_rva) {
  std::vector<const ResourceData*> leaves;
  std::vector<ResourceId> language_storage;
  const std::vector<Directory> directories = Directories(tree, leaves, language_storage);

  // Offsets: directories, then name strings, then data entries, then data.
  std::vector<std::size_t> directory_offsets;
  std::size_t offset = 0;
  for (const Directory& directory : directories) {
    directory_offsets.push_back(offset);
    offset += kDirectoryHeaderSize + kEntrySize * directory.entries.size();
  }
  std::string strings;
  const std::size_t strings_offset = offset;
  std::vector<std::vector<std::uint32_t>> name_fields(directories.size());
  for (std::size_t d = 0; d < directories.size(); ++d) {
    for (const auto& entry : directories[d].entries) {
      if (entry.id->number) {
        name_fields[d].push_back(*entry.id->number);
        continue;
      }
      name_fields[d].push_back(kHighBit | static_cast<std::uint32_t>(strings_offset + strings.size()));
      AppendU16(strings, static_cast<std::uint16_t>(entry.id->name.size()));
      AppendUtf16(strings, entry.id->name);
    }
  }
  const std::size_t data_entries_offset = AlignUp(strings_offset + strings.size(), 4);
  const std::size_t data_offset = AlignUp(data_entries_offset + kDataEntrySize * leaves.size(), kDataAlignment);

  std::string section;
  for (std::size_t d = 0; d < directories.size(); ++d) {
    const Directory& directory = directories[d];
    std::uint16_t named = 0;
    for (const auto& entry : directory.entries) named += entry.id->number ? 0 : 1;
    AppendU32(section, 0);  // characteristics
    AppendU32(section, 0);  // time stamp: none, so that equal trees give equal bytes
    AppendU32(section, 0);  // major and minor version
    AppendU16(section, named);
    AppendU16(section, static_cast<std::uint16_t>(directory.entries.size() - named));
    for (std::size_t e = 0; e < directory.entries.size(); ++e) {
      AppendU32(section, name_fields[d][e]);
      const std::size_t child = directory.entries[e].child;
      AppendU32(section, directory.leaves
                             ? static_cast<std::uint32_t>(data_entries_offset + kDataEntrySize * child)
                             : kHighBit | static_cast<std::uint32_t>(directory_offsets[child]));
    }
  }
  section += strings;
  PadTo(section, 4);
  std::string data;
  for (const ResourceData* leaf : leaves) {
    AppendU32(section, static_cast<std::uint32_t>(section_rva + data_offset + data.size()));
    AppendU32(section, static_cast<std::uint32_t>(leaf->bytes.size()));
    AppendU32(section, leaf->codepage);
    AppendU32(section, 0);
    data += leaf->bytes;
    PadTo(data, kDataAlignment);
  }
  PadTo(section, kDataAlignment);
  return section + data;
}

}  // namespace korvan::pe
