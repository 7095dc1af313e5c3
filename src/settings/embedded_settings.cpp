#include "settings/embedded_settings.h"

#include "messages/trace.h"
#include "platform/embedded_settings.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "settings/settings_text.h"

namespace korvan {

std::vector<EmbeddedSection> LoadEmbeddedSettings(const std::wstring& upgrade_code) {
  std::optional<std::string> carried = platform::ReadEmbeddedSettingsBytes();
  if (!carried) return {};
  std::string& bytes = *carried;
  if (!platform::DecipherSettingsBytes(platform::NarrowFromWide(upgrade_code), bytes)) {
    Trace(L"embedded settings text: could not be deciphered, ignored");
    return {};
  }
  // UTF-16LE, two bytes to a character: a last odd byte holds no character
  // and is dropped.
  std::vector<EmbeddedSection> sections =
      ParseSettingsText(platform::WideFromUtf16Bytes(bytes, platform::ByteOrder::LittleEndian));
  Trace(L"embedded settings text: " + std::to_wstring(bytes.size()) + L" bytes, " +
        std::to_wstring(sections.size()) + L" sections");
  return sections;
}

}  // namespace korvan
