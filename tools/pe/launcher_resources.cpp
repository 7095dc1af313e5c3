#include "launcher_resources.h"

#include <set>

namespace korvan::pe {
namespace {

// Replaces every language of one resource by `bytes` in the language of the
// first one there was (neutral when there was none); with null, removes it.
void Replace(ResourceTree& tree, const ResourceId& type, const ResourceId& name, const std::string* bytes) {
  const auto languages = Languages(tree, type, name);
  const std::uint16_t language = languages.empty() ? 0 : languages.begin()->first;
  RemoveResource(tree, type, name);
  if (bytes != nullptr) tree[ResourceKey{type, name, language}] = ResourceData{*bytes, 0};
}

// The first RT_GROUP_ICON entry, if any.
const ResourceTree::value_type* FirstGroupIcon(const ResourceTree& tree) {
  for (const auto& entry : tree) {
    if (entry.first.type == ResourceId::Number(kGroupIconType)) return &entry;
  }
  return nullptr;
}

}  // namespace

void SetSettingsText(ResourceTree& tree, const std::string* bytes) {
  Replace(tree, ResourceId::Number(kRawDataType), ResourceId::Number(kSettingsTextId), bytes);
}

const ResourceData* SettingsText(const ResourceTree& tree) {
  const auto languages =
      Languages(tree, ResourceId::Number(kRawDataType), ResourceId::Number(kSettingsTextId));
  return languages.empty() ? nullptr : languages.begin()->second;
}

bool SetApplicationIcon(ResourceTree& tree, const std::vector<IconImage>& images) {
  ResourceTree edited = tree;
  const ResourceId icon_type = ResourceId::Number(kIconType);
  const ResourceId group_type = ResourceId::Number(kGroupIconType);
  ResourceId group_name = ResourceId::Number(1);
  std::uint16_t language = 0;
  if (const auto* group = FirstGroupIcon(edited)) {
    group_name = group->first.name;
    language = group->first.language;
    for (std::uint16_t id : GroupIconIds(group->second.bytes)) {
      RemoveResource(edited, icon_type, ResourceId::Number(id));
    }
    RemoveResource(edited, group_type, group_name);
  }
  if (images.empty()) {
    tree = std::move(edited);
    return true;
  }

  std::set<std::uint16_t> taken;
  for (const auto& entry : edited) {
    if (entry.first.type == icon_type && entry.first.name.number) taken.insert(*entry.first.name.number);
  }
  std::vector<std::uint16_t> ids;
  for (std::uint16_t id = 1; ids.size() < images.size() && id != 0; ++id) {
    if (taken.count(id) == 0) ids.push_back(id);
  }
  if (ids.size() < images.size()) return false;
  for (std::size_t i = 0; i < images.size(); ++i) {
    edited[ResourceKey{icon_type, ResourceId::Number(ids[i]), language}] = ResourceData{images[i].bytes, 0};
  }
  edited[ResourceKey{group_type, group_name, language}] = ResourceData{GroupIconBytes(images, ids), 0};
  tree = std::move(edited);
  return true;
}

void SetVersionInfo(ResourceTree& tree, const std::string* bytes) {
  Replace(tree, ResourceId::Number(kVersionType), ResourceId::Number(1), bytes);
}

}  // namespace korvan::pe
