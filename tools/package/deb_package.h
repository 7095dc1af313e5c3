#pragma once
// The .deb of a Linux package, built by the build machine's dpkg-deb: the
// application folder under /opt/<name>, and the launcher on the PATH through
// /usr/bin/<name>. The launcher finds its settings and runtime beside its
// real file, so the link needs nothing else.

#include <filesystem>
#include <string>

#include "package_description.h"

namespace korvan::package {

// The Debian package name for `name`: lower case, runs of other characters
// than letters, digits, "+" and "." as one "-".
std::wstring DebianPackageName(const std::wstring& name);

// Why `version` is no Debian version (which must start with a digit), or "".
std::wstring WhyNoDebianVersion(const std::wstring& version);

// Lays out the .deb's files beside the folder `root`/`name`, linking to its
// files (hard links, so nothing is copied and the folder stays as it is,
// for the archive made from it meanwhile). Sets SOURCE_DATE_EPOCH, when it
// is unset, for dpkg-deb: call it before any other thread starts.
bool LayOutDebTree(const PackageDescription& description, const std::filesystem::path& root,
                   const std::wstring& name, std::wstring& error);

// Builds `deb` from what LayOutDebTree laid out, and removes that.
bool WriteDeb(const std::filesystem::path& root, const std::wstring& name, const std::filesystem::path& deb,
              std::wstring& error);

}  // namespace korvan::package
