#pragma once

#include <string>

#include "settings/launch_settings.h"

namespace korvan {

// Publishes the runtime of `jvm_library_path` in the process environment and
// extends the executable search path. Returns the library path option that
// goes first among the VM options (built from the search path as inherited),
// or an empty text when "Library Path" is not set.
std::wstring PrepareEnvironment(const LaunchSettings& settings, const std::wstring& jvm_library_path,
                                const std::wstring& launcher_folder);

}  // namespace korvan
