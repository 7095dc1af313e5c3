#pragma once
// The application folder as users ship it: the launcher renamed after the
// application, stripped and stamped (and signed, see signing.h), its settings
// file, the jars, and the runtime in the folder where the launcher's runtime
// search looks first.

#include <filesystem>
#include <string>

#include "package_description.h"

namespace korvan::package {

// The launcher's file name in the folder: Name.exe for Windows, Name for Linux.
std::wstring LauncherFileName(const PackageDescription& description);

// Lays out `folder`, which must not exist yet; false, with a message, on the
// first step that fails (the caller removes what was made).
bool LayOutApplicationFolder(const PackageDescription& description, const std::wstring& launcher,
                             const std::filesystem::path& folder, std::wstring& error);

}  // namespace korvan::package
