#pragma once
// The embedded settings text: an enciphered UTF-16LE settings text that the
// launcher executable may carry, keyed by the "Upgrade Code".

#include <string>
#include <vector>

#include "settings/settings_source.h"

namespace korvan {

// The sections of the launcher's embedded settings text, deciphered with the
// upgrade code; none when the launcher carries no text or it cannot be read.
std::vector<EmbeddedSection> LoadEmbeddedSettings(const std::wstring& upgrade_code);

}  // namespace korvan
