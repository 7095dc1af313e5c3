// The embedded settings text, as the launcher deciphers and reads it: entries
// are trimmed and never span a line; a text built from sections parses back
// into them; the cipher undoes itself.
#include <cwctype>

#include "fuzz_support.h"
#include "platform/shared/portable_cipher.h"
#include "settings/settings_text.h"
#include "platform/shared/utf_text.h"

namespace {

bool Trimmed(const std::wstring& text) {
  return text.empty() || (!std::iswspace(static_cast<wint_t>(text.front())) &&
                          !std::iswspace(static_cast<wint_t>(text.back())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvan;
  using namespace korvan::platform;
  const auto [key, payload] = fuzz::SplitInput(data, size);

  // The launcher's path: decipher, then read as UTF-16LE.
  std::string plain = payload;
  platform::ApplyPortableSettingsCipher(key, plain);
  std::string again = plain;
  platform::ApplyPortableSettingsCipher(key, again);
  KORVAN_FUZZ_CHECK(again == payload);
  for (const std::string* bytes : {static_cast<const std::string*>(&plain), &payload}) {
    for (const EmbeddedSection& section : ParseSettingsText(WideFromUtf16Bytes(*bytes, ByteOrder::LittleEndian))) {
      KORVAN_FUZZ_CHECK(section.name.find(L"\r\n") == std::wstring::npos);
      for (const auto& [entry_key, entry_value] : section.entries) {
        KORVAN_FUZZ_CHECK(Trimmed(entry_key) && Trimmed(entry_value));
        KORVAN_FUZZ_CHECK(entry_key.find(L'=') == std::wstring::npos);
        KORVAN_FUZZ_CHECK(entry_value.find(L"\r\n") == std::wstring::npos);
      }
    }
  }

  // Sections written out as the stamping tool writes them parse back whole.
  std::vector<EmbeddedSection> sections;
  std::wstring text = L"\uFEFF";
  std::wstring word;
  for (char c : payload) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') {
      word += static_cast<wchar_t>(byte);
    } else if (!word.empty() && byte % 3 == 0) {
      sections.push_back(EmbeddedSection{word, {}});
      text += L"[" + word + L"]\r\n";
      word.clear();
    } else if (!word.empty() && !sections.empty()) {
      const std::wstring value = word + L" = " + word;  // a value may hold "="
      sections.back().entries.emplace_back(word, value);
      text += L"  " + word + L" = " + value + L"\t\r\n";
      word.clear();
    }
  }
  const std::vector<EmbeddedSection> parsed = ParseSettingsText(text);
  KORVAN_FUZZ_CHECK(parsed.size() == sections.size());
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    KORVAN_FUZZ_CHECK(parsed[i].name == sections[i].name);
    KORVAN_FUZZ_CHECK(parsed[i].entries == sections[i].entries);
  }
  return 0;
}
