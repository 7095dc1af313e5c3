#pragma once
// Narrow text is the thread's ANSI code page on Windows and the locale's
// multibyte encoding elsewhere. Characters the narrow set cannot hold are
// replaced, never dropped silently to an empty result.

#include <string>

namespace korvan::platform {

std::string NarrowFromWide(const std::wstring& text);
std::wstring WideFromNarrow(const std::string& text);

}  // namespace korvan::platform
