#pragma once
// The settings file that a package puts beside its launcher: the launch
// settings of the description, in their order, plus "Main Jar" when the
// description names no main class, and a class path of the package's jars
// (the main jar's own place on it then taken by "Main Jar") when it gives none.

#include <string>
#include <vector>

#include "package_description.h"

namespace korvan::package {

// `jars` are relative to the application folder, main jar first. The text has
// CR LF line ends for Windows, LF for Linux; text beyond ASCII is saved as
// UTF-16LE with its byte-order mark for Windows, as UTF-8 with one for Linux.
std::string AppSettingsFileBytes(const PackageDescription& description, const std::vector<std::wstring>& jars);

}  // namespace korvan::package
