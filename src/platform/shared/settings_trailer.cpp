#include "platform/shared/settings_trailer.h"

#include <limits>

namespace korvan::platform {

std::optional<std::uint32_t> SettingsTrailerPayloadSize(std::string_view footer,
                                                        std::uint64_t file_size) {
  if (footer.size() != kSettingsTrailerFooterSize || file_size < kSettingsTrailerFooterSize) {
    return std::nullopt;
  }
  if (footer.substr(4) != kSettingsTrailerMarker) return std::nullopt;
  std::uint32_t size = 0;
  for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(footer[i]);
  if (size > file_size - kSettingsTrailerFooterSize) return std::nullopt;
  return size;
}

std::optional<std::string> MakeSettingsTrailer(std::string_view payload) {
  if (payload.size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  std::string trailer(payload);
  const auto size = static_cast<std::uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) trailer += static_cast<char>((size >> (8 * i)) & 0xFF);
  trailer += kSettingsTrailerMarker;
  return trailer;
}

}  // namespace korvan::platform
