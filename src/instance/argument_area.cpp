#include "instance/argument_area.h"

#include "platform/shared/utf_text.h"

namespace korvan {

namespace {

constexpr std::size_t kFieldSize = 4;

void PutField(ArgumentArea& area, std::uint32_t value) {
  for (std::size_t i = 0; i < kFieldSize; ++i) {
    area.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

std::uint32_t GetField(const std::uint8_t* bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < kFieldSize; ++i) {
    value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  }
  return value;
}

}  // namespace

std::vector<std::wstring> ArgumentsToHandOver(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return {std::wstring()};
  return arguments;
}

std::optional<ArgumentArea> EncodeArgumentArea(const std::vector<std::wstring>& arguments,
                                               std::size_t capacity) {
  ArgumentArea area;
  if (arguments.size() > UINT32_MAX) return std::nullopt;
  PutField(area, static_cast<std::uint32_t>(arguments.size()));
  for (const std::wstring& argument : arguments) {
    const std::string text = platform::Utf8FromWide(argument);
    // Checked before appending, so a huge list never grows past the capacity.
    if (text.size() > UINT32_MAX || area.size() + kFieldSize + text.size() > capacity) {
      return std::nullopt;
    }
    PutField(area, static_cast<std::uint32_t>(text.size()));
    area.insert(area.end(), text.begin(), text.end());
  }
  if (area.size() > capacity) return std::nullopt;
  return area;
}

std::optional<std::vector<std::wstring>> DecodeArgumentArea(const std::uint8_t* bytes,
                                                            std::size_t size) {
  if (size < kFieldSize) return std::nullopt;
  const std::uint32_t count = GetField(bytes);
  std::size_t position = kFieldSize;
  // Each argument takes at least its length field: a larger count cannot be real.
  if (count > (size - position) / kFieldSize) return std::nullopt;
  std::vector<std::wstring> arguments;
  arguments.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (size - position < kFieldSize) return std::nullopt;
    const std::uint32_t length = GetField(bytes + position);
    position += kFieldSize;
    if (length > size - position) return std::nullopt;
    arguments.push_back(platform::WideFromUtf8(
        std::string_view(reinterpret_cast<const char*>(bytes + position), length)));
    position += length;
  }
  // A fixed-size area is zero-filled after the list; anything else is not ours.
  for (; position < size; ++position) {
    if (bytes[position] != 0) return std::nullopt;
  }
  return arguments;
}

}  // namespace korvan
