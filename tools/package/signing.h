#pragma once
// Authenticode signing of the stamped launcher with the build machine's
// osslsigncode and the description's PKCS#12 certificate. It comes after
// stamping: a signed file cannot be stamped, as the signature would break.

#include <filesystem>
#include <string>

#include "package_description.h"

namespace korvan::package {

bool SignLauncher(const PackageDescription& description, const std::filesystem::path& launcher,
                  std::wstring& error);

}  // namespace korvan::package
