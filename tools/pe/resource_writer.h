#pragma once
// A resource tree as the bytes of a resource section: the three directory
// levels, the name strings, the data entries and the data, laid out for a
// section that starts at `section_rva`. The same tree always gives the same bytes.

#include <cstdint>
#include <string>

#include "resource_tree.h"

namespace korvan::pe {

std::string WriteResourceSection(const ResourceTree& tree, std::uint32_t section_rva);

}  // namespace korvan::pe
