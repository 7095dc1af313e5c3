#pragma once
// What the system the launcher runs on offers, named for what the launcher
// does with it, so that portable code never asks which system it is.

#include <cstddef>

namespace korvan::platform {

// Whether a runtime the user chose once ("JRE Path" in the per-user settings
// file) is honoured: on every system of the Windows NT family, and on POSIX
// systems. Elsewhere the settings are read as usual.
bool RemembersUserRuntimeChoice();

// The longest path the launcher looks for a file at: MAX_PATH - 1 characters
// on Windows, and the same on POSIX systems so one settings layout behaves alike.
std::size_t LongestFindablePath();

}  // namespace korvan::platform
