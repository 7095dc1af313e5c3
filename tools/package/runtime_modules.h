#pragma once
// The modules that [Runtime] Modules links into the bundled runtime: the
// names it lists, and for "auto" the ones jdeps finds the application's jars
// use, so the runtime stays small without a hand-kept list.

#include <filesystem>
#include <string>
#include <vector>

#include "package_description.h"

namespace korvan::package {

// The JDK tool `name` (jlink, jdeps) to run for `d`'s runtime: its own when
// the runtime is a JDK for this machine, else the one on the PATH.
std::wstring JdkTool(const PackageDescription& d, const std::wstring& name);

// `d.modules` with "auto" replaced by what jdeps reports for `jars` (paths
// below `folder`, the main jar first); jdeps writes its answer into
// `scratch`. False, with the reason, when jdeps fails or finds nothing.
bool ModulesToLink(const PackageDescription& d, const std::filesystem::path& folder,
                   const std::vector<std::wstring>& jars, const std::filesystem::path& scratch,
                   std::wstring& modules, std::wstring& error);

}  // namespace korvan::package
