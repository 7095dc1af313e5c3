#include "platform/shared/link_colour.h"

#include <cwchar>

namespace korvan::platform {

namespace {

// atoi on a wide text: leading blanks and a sign, then digits up to the first
// other character; no digits give 0.
int ReadNumber(const std::wstring& text) {
  return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

}  // namespace

bool IsColourValueUsable(StoredValueType type, const unsigned char* data,
                         std::size_t byte_count) {
  if (type != StoredValueType::Text && type != StoredValueType::ExpandableText) return false;
  if (byte_count == 0) return true;
  if (byte_count % 2 != 0) return false;
  return data[byte_count - 1] == 0 && data[byte_count - 2] == 0;
}

std::optional<LinkColour> ParseLinkColour(const std::wstring& text) {
  int components[2] = {0, 0};
  std::size_t start = 0;
  for (int& component : components) {
    const std::size_t comma = text.find(L',', start);
    if (comma == std::wstring::npos) return std::nullopt;
    component = ReadNumber(text.substr(start, comma - start));
    if (component == -1) return std::nullopt;
    start = comma + 1;
  }
  if (start >= text.size()) return std::nullopt;
  const int blue = ReadNumber(text.substr(start));
  return MakeLinkColour(components[0], components[1], blue);
}

}  // namespace korvan::platform
