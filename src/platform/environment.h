#pragma once
// The launcher's own process environment.

#include <string>

namespace korvan::platform {

// False when the variable is not set.
bool ReadEnvironmentVariable(const std::wstring& name, std::wstring& value);
bool WriteEnvironmentVariable(const std::wstring& name, const std::wstring& value);

// Replaces %NAME% references with the variables' values; references to unset
// variables stay as written.
std::wstring ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace korvan::platform
