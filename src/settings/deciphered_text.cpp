#include "settings/deciphered_text.h"

#include <cstdint>
#include <cwctype>

#include "settings/settings_text.h"

namespace korvan {
namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Where wchar_t is 32 bits every surrogate left in the text is unpaired;
// where it is 16, a pair is a high one followed by a low one.
bool HasUnpairedSurrogate(const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsSurrogate(text[i])) continue;
    const bool paired = sizeof(wchar_t) == 2 && IsHighSurrogate(text[i]) && i + 1 < text.size() &&
                        IsSurrogate(text[i + 1]) && !IsHighSurrogate(text[i + 1]);
    if (!paired) return true;
    ++i;
  }
  return false;
}

bool IsBlank(const std::wstring& text) {
  for (const wchar_t c : text) {
    if (c != L'\uFEFF' && !std::iswspace(static_cast<std::wint_t>(c))) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<EmbeddedSection>> ReadableSettingsText(const std::wstring& text) {
  if (HasUnpairedSurrogate(text)) return std::nullopt;
  std::vector<EmbeddedSection> sections = ParseSettingsText(text);
  if (sections.empty() && !IsBlank(text)) return std::nullopt;
  return sections;
}

}  // namespace korvan
