#pragma once
// Whether deciphered embedded bytes are a settings text at all. The cipher
// cannot tell a wrong upgrade code: any key turns the bytes into something.
// Noise is almost never well-formed UTF-16 (an unpaired surrogate turns up
// every few dozen characters) and holds no section header, while every text
// the stamping tool embeds is both, or blank. So a text with an unpaired
// surrogate, or with no section and more than white space, is unreadable.

#include <optional>
#include <string>
#include <vector>

#include "settings/settings_source.h"

namespace korvan {

// What the launcher's trace and the stamping tool say of an unreadable text.
inline constexpr wchar_t kUnreadableEmbeddedText[] =
    L"the upgrade code does not match the embedded settings (or they are damaged)";

// The sections of a settings text, or nothing when it is unreadable.
std::optional<std::vector<EmbeddedSection>> ReadableSettingsText(const std::wstring& text);

}  // namespace korvan
