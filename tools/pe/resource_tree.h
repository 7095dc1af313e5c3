#pragma once
// The resources of an executable as a flat, ordered map: type, name and
// language to data. The order is the one a resource directory must have at
// every level: names (by their UTF-16 code units) before numeric ids (ascending).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "pe_image.h"

namespace korvan::pe {

// A type or a name: a number (MAKEINTRESOURCE) or a string.
struct ResourceId {
  std::optional<std::uint16_t> number;
  std::u16string name;  // when there is no number

  static ResourceId Number(std::uint16_t value) { return ResourceId{value, {}}; }
  static ResourceId Name(std::u16string value) { return ResourceId{std::nullopt, std::move(value)}; }

  bool operator<(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const { return number == other.number && name == other.name; }
};

struct ResourceKey {
  ResourceId type;
  ResourceId name;
  std::uint16_t language = 0;

  bool operator<(const ResourceKey& other) const;
  bool operator==(const ResourceKey& other) const {
    return type == other.type && name == other.name && language == other.language;
  }
};

struct ResourceData {
  std::string bytes;
  std::uint32_t codepage = 0;

  bool operator==(const ResourceData& other) const {
    return bytes == other.bytes && codepage == other.codepage;
  }
};

using ResourceTree = std::map<ResourceKey, ResourceData>;

// Well-known resource types.
constexpr std::uint16_t kIconType = 3;        // RT_ICON
constexpr std::uint16_t kRawDataType = 10;    // RT_RCDATA
constexpr std::uint16_t kGroupIconType = 14;  // RT_GROUP_ICON
constexpr std::uint16_t kVersionType = 16;    // RT_VERSION
constexpr std::uint16_t kManifestType = 24;   // RT_MANIFEST

// Reads the resource directory of `image` (an empty tree when it has none).
// Refuses, with a message, a directory that is not three levels deep, points
// outside its bytes, repeats an entry or loops.
std::optional<ResourceTree> ReadResourceTree(std::string_view file, const PeImage& image,
                                             std::string& error);

// The entries of one type and name, in language order.
std::map<std::uint16_t, const ResourceData*> Languages(const ResourceTree& tree,
                                                       const ResourceId& type,
                                                       const ResourceId& name);

// Removes every language of one type and name; true when something went.
bool RemoveResource(ResourceTree& tree, const ResourceId& type, const ResourceId& name);

}  // namespace korvan::pe
