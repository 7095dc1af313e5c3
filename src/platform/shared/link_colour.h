#pragma once
// The colours of a hyperlink follow the user's browser settings: texts of the
// form "red,green,blue" stored under "Anchor Color" and "Anchor Color Visited".
// These are the rules for accepting and reading such a value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace korvan::platform {

// A colour as Windows stores it: red in bits 0-7, green 8-15, blue 16-23.
using LinkColour = std::uint32_t;

constexpr LinkColour MakeLinkColour(int red, int green, int blue) {
  return static_cast<LinkColour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr LinkColour kDefaultLinkColour = MakeLinkColour(0, 0, 255);
constexpr LinkColour kDefaultVisitedLinkColour = MakeLinkColour(128, 0, 128);

enum class StoredValueType { Text, ExpandableText, Other };

// Whether a stored colour value counts at all: a text type whose data is
// empty, or an even number of bytes ending in a NUL character.
// `data` holds `byte_count` bytes.
bool IsColourValueUsable(StoredValueType type, const unsigned char* data,
                         std::size_t byte_count);

// "red,green,blue", each number read as the C library's atoi reads it; the low
// 8 bits of each count. Nothing when a comma is missing, when red or green is
// -1, or when nothing follows the second comma. Blue may be -1 (255).
std::optional<LinkColour> ParseLinkColour(const std::wstring& text);

}  // namespace korvan::platform
