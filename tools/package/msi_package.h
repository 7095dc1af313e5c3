#pragma once
// The MSI of a Windows package, built by the build machine's wixl (msitools)
// from a WiX source that korvan-package writes: the application folder under
// Program Files\Vendor\Name, a Start-menu shortcut to the launcher, and a
// major upgrade keyed on the description's Upgrade Code, so that a newer
// version replaces an older one and uninstalling removes everything.

#include <filesystem>
#include <string>

#include "package_description.h"

namespace korvan::package {

// The WiX source for the folder `root`/`name` (read to list its files).
std::wstring MsiSource(const PackageDescription& description, const std::filesystem::path& root,
                       const std::wstring& name);

bool WriteMsi(const PackageDescription& description, const std::filesystem::path& root,
              const std::wstring& name, const std::filesystem::path& msi, std::wstring& error);

}  // namespace korvan::package
