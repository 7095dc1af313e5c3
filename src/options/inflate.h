#pragma once
// The deflate format (RFC 1951) decoded, for the entries of a jar that the
// launcher reads before any VM exists: stored, fixed and dynamic blocks.

#include <optional>
#include <string>
#include <string_view>

namespace korvan {

// The bytes that `deflated` holds; nothing when it is not a whole, valid
// stream or would give more than `limit` bytes.
std::optional<std::string> Inflate(std::string_view deflated, std::size_t limit);

}  // namespace korvan
