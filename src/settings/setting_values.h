#pragma once
// How keyword values of the settings turn into launch settings. Each key
// compares in one of two ways: exactly (case included, nothing trimmed), or
// with the letters A to Z matching a to z and no other folding.

#include <string>

#include "settings/launch_settings.h"

namespace korvan {

// "Application Type": exactly "service".
bool IsServiceApplicationType(const std::wstring& value);

// "JVM Type": exactly "server" or "favor_server"; anything else is any kind.
JvmKind JvmKindFrom(const std::wstring& value);

// "JVM Source": sets the JDK wanted, JRE wanted and both-kinds-acceptable flags.
void ApplyJvmSource(const std::wstring& value, LaunchSettings& settings);

// "VM Provider" (any case): sets the four provider flags; an unknown value
// changes nothing.
void ApplyVmProvider(const std::wstring& value, LaunchSettings& settings);

// "Failure Check", "Override WorkingDir": "Yes" in any case.
bool IsYesInAnyCase(const std::wstring& value);

// "Single Instance": exactly "yes", lower case.
bool IsExactLowerCaseYes(const std::wstring& value);

// "Main Class": the class name in its internal form, every "." turned into "/".
std::wstring InternalClassName(const std::wstring& class_name);

}  // namespace korvan
