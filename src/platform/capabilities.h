#pragma once
// What the system the launcher runs on offers, named for what the launcher
// does with it, so that portable code never asks which system it is.

#include <cstddef>

namespace korvan::platform {

// Whether a runtime the user chose once ("JRE Path" in the per-user settings
// file) is honoured: on every system of the Windows NT family, and on POSIX
// systems. Elsewhere the settings are read as usual.
bool RemembersUserRuntimeChoice();

// Whether a per-user settings file needs a product name: not on Windows,
// where %APPDATA%\\\name.ini is looked up as it is; elsewhere, without a
// product name the path would collapse to ~/.config/name.ini, a file that
// any program of that name may own.
bool UserSettingsNeedProductName();

// The longest path the launcher looks for a file at: MAX_PATH - 1 characters
// on Windows, and the same on POSIX systems so one settings layout behaves alike.
std::size_t LongestFindablePath();

}  // namespace korvan::platform
