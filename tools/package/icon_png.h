#pragma once
// PNG images of an icon file's images, for desktops that take PNG icons
// (freedesktop's hicolor theme). An image stored as PNG is kept as it is; a
// DIB image (1, 4, 8, 24 or 32 bits a pixel, with its AND mask) is written as
// an 8-bit RGBA PNG with uncompressed deflate blocks, which needs no zlib.

#include <optional>
#include <string>
#include <string_view>

namespace korvan::package {

// The PNG bytes for one image of an .ico file (its bytes as the file holds
// them); none, with a reason, for a DIB this cannot read.
std::optional<std::string> PngFromIconImage(std::string_view image, std::string& error);

}  // namespace korvan::package
