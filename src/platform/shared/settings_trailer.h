#pragma once
// Where executables carry no resources, the enciphered settings text is
// appended to the launcher executable as a trailer:
//   the enciphered bytes, their count as 32-bit little-endian, "KORVSET1".
// An executable that does not end in the marker, or whose count is larger
// than what lies before it, carries no settings text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvan::platform {

inline constexpr std::string_view kSettingsTrailerMarker = "KORVSET1";
inline constexpr std::size_t kSettingsTrailerFooterSize = 4 + kSettingsTrailerMarker.size();

// The count of enciphered bytes before `footer`, the last
// kSettingsTrailerFooterSize bytes of a file of `file_size` bytes; nullopt
// when the file carries no trailer.
std::optional<std::uint32_t> SettingsTrailerPayloadSize(std::string_view footer,
                                                        std::uint64_t file_size);

// The trailer that carries `payload`; nullopt when it is too long to count.
std::optional<std::string> MakeSettingsTrailer(std::string_view payload);

}  // namespace korvan::platform
