#pragma once
// Icon files (.ico) and the icon resources made from them: each image of the
// file becomes an RT_ICON resource, and one RT_GROUP_ICON resource lists them
// (GRPICONDIR: the ICONDIR header with each entry's file offset replaced by
// the RT_ICON id).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::pe {

struct IconImage {
  std::uint8_t width = 0;  // 0 means 256
  std::uint8_t height = 0;
  std::uint8_t color_count = 0;
  std::uint16_t planes = 0;
  std::uint16_t bit_count = 0;
  std::string bytes;  // a DIB without file header, or a PNG
};

// The images of an .ico file; refuses a file that is not one, or whose
// images lie outside it.
std::optional<std::vector<IconImage>> ParseIconFile(std::string_view file, std::string& error);

// The RT_GROUP_ICON bytes for `images`, the i-th image being RT_ICON `ids[i]`.
std::string GroupIconBytes(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids);

// The RT_ICON ids that an RT_GROUP_ICON lists (none when it is malformed).
std::vector<std::uint16_t> GroupIconIds(std::string_view group);

}  // namespace korvan::pe
