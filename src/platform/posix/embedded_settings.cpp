#include "platform/embedded_settings.h"


#include "platform/posix/regular_file.h"
#include "platform/shared/portable_cipher.h"
#include "platform/shared/settings_trailer.h"

namespace korvan::platform {

// Read through the descriptor, not a stream: constructing a stream (its
// locale) cost more than the rest of this read.
std::optional<std::string> ReadEmbeddedSettingsBytes() {
  const std::optional<RegularFile> executable = RegularFile::Open("/proc/self/exe");
  if (!executable) return std::nullopt;
  const auto file_size = static_cast<std::uint64_t>(executable->status().st_size);
  if (file_size < kSettingsTrailerFooterSize) return std::nullopt;

  std::string footer(kSettingsTrailerFooterSize, '\0');
  const std::uint64_t footer_offset = file_size - footer.size();
  if (!executable->ReadAt(footer_offset, footer.data(), footer.size())) return std::nullopt;
  const auto payload_size = SettingsTrailerPayloadSize(footer, file_size);
  if (!payload_size) return std::nullopt;

  std::string bytes(*payload_size, '\0');
  if (!executable->ReadAt(footer_offset - *payload_size, bytes.data(), bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

bool DecipherSettingsBytes(const std::string& key_text, std::string& bytes) {
  ApplyPortableSettingsCipher(key_text, bytes);
  return true;
}

}  // namespace korvan::platform
