#pragma once
// Checks that the launcher and the runtime given for a package are built for
// its target, before anything is written: a runtime of another machine would
// only fail on the user's machine, long after the release.

#include <string>

#include "package_description.h"

namespace korvan::package {

// The bundled runtime folder's name beside the launcher, as the runtime search looks for it.
std::wstring BundledRuntimeFolderName(PackageTarget target);

// False, with a message, unless `launcher` is an unsigned launcher of `target`.
bool CheckLauncher(const std::wstring& launcher, PackageTarget target, std::wstring& error);

// False, with a message, unless `runtime` is a Java runtime folder (or a JDK
// with jmods, when `modules` are to be linked) for `target`.
bool CheckRuntime(const std::wstring& runtime, PackageTarget target, bool link_modules,
                  std::wstring& error);

}  // namespace korvan::package
