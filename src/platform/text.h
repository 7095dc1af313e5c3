#pragma once
// Narrow text is the thread's ANSI code page on Windows and the locale's
// multibyte encoding elsewhere. Characters the narrow set cannot hold are
// replaced, never dropped silently to an empty result. Outside Windows, bytes
// that the locale's encoding cannot read (a UTF-8 path under the C locale)
// come back as the same bytes, so a path survives the trip through a wide string.

#include <string>

namespace korvan::platform {

std::string NarrowFromWide(const std::wstring& text);
std::wstring WideFromNarrow(const std::string& text);

}  // namespace korvan::platform
