#pragma once
// How paths are written on this system, and where per-user settings live.

#include <string>

namespace korvan::platform {

struct PathRules {
  wchar_t separator;  // L'\\' on Windows, L'/' elsewhere
  // Windows derives the settings file from the last "." anywhere in the
  // launcher path; elsewhere only the file name counts, and an executable
  // without "." gets ".ini" appended.
  bool extensionless_executables;
};

PathRules GetPathRules();

// The folder under which per-user settings live: %APPDATA% on Windows,
// $XDG_CONFIG_HOME or ~/.config elsewhere. Empty when it is not known.
std::wstring UserSettingsRoot();

}  // namespace korvan::platform
