#include "settings/embedded_settings.h"

#include <utility>

#include "messages/trace.h"
#include "platform/embedded_settings.h"
#include "platform/shared/utf_text.h"
#include "platform/text.h"
#include "settings/deciphered_text.h"

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
  std::optional<std::vector<EmbeddedSection>> sections =
      ReadableSettingsText(platform::WideFromUtf16Bytes(bytes, platform::ByteOrder::LittleEndian));
  const std::wstring size = L"embedded settings text: " + std::to_wstring(bytes.size()) + L" bytes, ";
  if (!sections) {
    Trace(size + L"ignored: " + kUnreadableEmbeddedText);
    return {};
  }
  Trace(size + std::to_wstring(sections->size()) + L" sections");
  return std::move(*sections);
}

}  // namespace korvan
