#pragma once
// The embedded settings text: an INI-like text of its own, simpler than what
// the profile functions read.
// - Lines end at CR LF only; a lone CR or LF is part of its line.
// - A U+FEFF at the start of the text is dropped.
// - A header line: after characters up to code 32, a "[", and the line's last
//   character above code 32 is "]". The name lies between the first "[" and
//   the last "]", untrimmed. Every header makes a new section, repeated names too.
// - Any other line with a "=" is an entry of the current section: key before
//   the first "=", value after it, both trimmed of white space (iswspace).
//   Entries before the first header belong to no section and are dropped.

#include <string>
#include <vector>

#include "settings/settings_source.h"

namespace korvan {

std::vector<EmbeddedSection> ParseSettingsText(const std::wstring& text);

}  // namespace korvan
