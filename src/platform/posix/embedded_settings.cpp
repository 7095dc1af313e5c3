#include "platform/embedded_settings.h"

#include <fstream>

#include "platform/shared/portable_cipher.h"
#include "platform/shared/settings_trailer.h"

namespace korvan::platform {

bool ReadEmbeddedSettingsBytes(std::string& bytes) {
  std::ifstream executable("/proc/self/exe", std::ios::binary | std::ios::ate);
  if (!executable) return false;
  const std::streamoff file_size = executable.tellg();
  if (file_size < static_cast<std::streamoff>(kSettingsTrailerFooterSize)) return false;

  std::string footer(kSettingsTrailerFooterSize, '\0');
  executable.seekg(file_size - static_cast<std::streamoff>(footer.size()));
  if (!executable.read(footer.data(), static_cast<std::streamsize>(footer.size()))) return false;
  const auto payload_size =
      SettingsTrailerPayloadSize(footer, static_cast<std::uint64_t>(file_size));
  if (!payload_size) return false;

  bytes.assign(*payload_size, '\0');
  executable.seekg(file_size - static_cast<std::streamoff>(footer.size()) -
                   static_cast<std::streamoff>(*payload_size));
  return static_cast<bool>(executable.read(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

bool DecipherSettingsBytes(const std::string& key_text, std::string& bytes) {
  ApplyPortableSettingsCipher(key_text, bytes);
  return true;
}

}  // namespace korvan::platform
