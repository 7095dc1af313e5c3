#pragma once

#include <string>
#include <vector>

namespace korvan::platform {

// Splits a Windows command line into tokens, the program path included.
// A token that begins with a double quote runs to the next double quote (both
// dropped; without a closing quote it is the rest of the line); any other token
// runs to the next space. Only U+0020 separates; there is no escape character.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

}  // namespace korvan::platform
