#pragma once
// The resources korvan-stamp puts into a Windows launcher. Each edit replaces
// what an earlier one put there, keeping the language of the resource it
// replaces; new resources get the neutral language (0).

#include <cstdint>
#include <string>
#include <vector>

#include "icon_file.h"
#include "resource_tree.h"

namespace korvan::pe {

constexpr std::uint16_t kSettingsTextId = 8000;  // RT_RCDATA

// The embedded settings text: `bytes`, or with null none.
void SetSettingsText(ResourceTree& tree, const std::string* bytes);
const ResourceData* SettingsText(const ResourceTree& tree);

// The application's icon is the first RT_GROUP_ICON, the one Explorer shows.
// Setting it replaces that group and the RT_ICON images it lists (others stay);
// the images take the lowest free RT_ICON ids. Without images, removes it.
// False, with the tree unchanged, when there are not enough free ids.
bool SetApplicationIcon(ResourceTree& tree, const std::vector<IconImage>& images);

// The RT_VERSION resource 1: `bytes`, or with null none.
void SetVersionInfo(ResourceTree& tree, const std::string* bytes);

}  // namespace korvan::pe
