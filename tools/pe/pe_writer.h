#pragma once
// Writes an executable whose resource directory is a new tree. When the
// resource section is the image's last section it is rebuilt in place;
// otherwise (mingw puts .reloc and debug sections after it) a new ".rsrc"
// section is appended after the last one, the data directory points at it,
// and the old section's bytes stay unused, renamed ".rsrcold". Data after the
// sections (the COFF symbol table of an unstripped build) moves along, and
// the file header's pointer to it with it. SizeOfImage, SizeOfInitializedData
// and the checksum (when the image had one) are recomputed. A signed image
// is refused: the signature would no longer match.

#include <optional>
#include <string>
#include <string_view>

#include "pe_image.h"
#include "resource_tree.h"

namespace korvan::pe {

std::optional<std::string> WriteWithResources(std::string_view file, const PeImage& image,
                                              const ResourceTree& tree, std::string& error);

}  // namespace korvan::pe
