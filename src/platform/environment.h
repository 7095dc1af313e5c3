#pragma once
// The launcher's own process environment.

#include <optional>
#include <string>

namespace korvan::platform {

// Nothing when the variable is not set.
std::optional<std::wstring> ReadEnvironmentVariable(const std::wstring& name);
bool WriteEnvironmentVariable(const std::wstring& name, const std::wstring& value);
bool RemoveEnvironmentVariable(const std::wstring& name);

// Replaces %NAME% references with the variables' values; references to unset
// variables stay as written.
std::wstring ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace korvan::platform
