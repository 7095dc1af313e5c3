#pragma once
// The bytes a second instance hands to the first: its argument list, written
// by one launcher executable and read only by another start of the same one.
//
// Layout (little-endian): the argument count (4 bytes), then for each
// argument its length in bytes (4 bytes) and its UTF-8 text. Every argument
// arrives whole, empty ones and characters beyond ASCII included.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

using ArgumentArea = std::vector<std::uint8_t>;

// What a second instance hands over: its arguments, or one empty argument
// when it has none (the first instance's secondaryMain never sees an empty array).
std::vector<std::wstring> ArgumentsToHandOver(const std::vector<std::wstring>& arguments);

// The encoded list; nothing when it needs more than `capacity` bytes.
std::optional<ArgumentArea> EncodeArgumentArea(const std::vector<std::wstring>& arguments,
                                               std::size_t capacity);

// The list read back from `size` bytes at `bytes`. Nothing when the bytes are
// not a whole list (a count or a length that runs past the end, non-zero
// bytes after it; zero padding is allowed); reading never looks past `size`. Invalid UTF-8 becomes U+FFFD.
std::optional<std::vector<std::wstring>> DecodeArgumentArea(const std::uint8_t* bytes,
                                                            std::size_t size);

}  // namespace korvan
