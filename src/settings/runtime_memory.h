#pragma once
// Remembering the runtime folder that a user chose when none was found: an
// application keeps it in its per-user settings file on the Windows NT family;
// a service, which runs under another account, keeps it in the settings file
// itself, where it reads "JRE Path" from.

#include <string>

#include "settings/launch_settings.h"
#include "settings/settings_source.h"

namespace korvan {

// The file that "JRE Path" is written to; with `create_folders` the per-user
// file's folders are made first. Empty when there is no settings file.
std::wstring RuntimeMemoryFile(const SettingsSource& source, const LaunchSettings& settings,
                               bool create_folders);

// Writes `folder` as "JRE Path" in section "Java Runtime Environment" of that
// file; false when nothing could be written.
bool RememberRuntimeFolder(const SettingsSource& source, const LaunchSettings& settings,
                           const std::wstring& folder);

}  // namespace korvan
