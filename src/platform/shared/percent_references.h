#pragma once
// %NAME% expansion with the observable rules of Windows'
// ExpandEnvironmentStringsW: a reference to an unset variable stays as written,
// and a lone "%" is an ordinary character. Used where the system has no such call.

#include <functional>
#include <optional>
#include <string>

namespace korvan::platform {

using VariableLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

std::wstring ExpandPercentReferences(const std::wstring& text, const VariableLookup& lookup);

}  // namespace korvan::platform
