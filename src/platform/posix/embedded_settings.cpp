#include "platform/embedded_settings.h"

#include <fstream>

#include "platform/shared/portable_cipher.h"
#include "platform/shared/settings_trailer.h"

namespace korvan::platform {

std::optional<std::string> ReadEmbeddedSettingsBytes() {
  std::ifstream executable("/proc/self/exe", std::ios::binary | std::ios::ate);
  if (!executable) return std::nullopt;
  const std::streamoff file_size = executable.tellg();
  if (file_size < static_cast<std::streamoff>(kSettingsTrailerFooterSize)) return std::nullopt;

  std::string footer(kSettingsTrailerFooterSize, '\0');
  executable.seekg(file_size - static_cast<std::streamoff>(footer.size()));
  if (!executable.read(footer.data(), static_cast<std::streamsize>(footer.size()))) return std::nullopt;
  const auto payload_size =
      SettingsTrailerPayloadSize(footer, static_cast<std::uint64_t>(file_size));
  if (!payload_size) return std::nullopt;

  std::string bytes(*payload_size, '\0');
  executable.seekg(file_size - static_cast<std::streamoff>(footer.size()) -
                   static_cast<std::streamoff>(*payload_size));
  if (!executable.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  return bytes;
}

bool DecipherSettingsBytes(const std::string& key_text, std::string& bytes) {
  ApplyPortableSettingsCipher(key_text, bytes);
  return true;
}

}  // namespace korvan::platform
