#pragma once
// The build machine's own tools that korvan-package runs (tar, gzip, zip,
// strip, jlink, osslsigncode, wixl), found through the PATH.

#include <string>
#include <vector>

namespace korvan::package {

// Runs `command` in `working_folder` (ours when empty), its standard output
// into `output_file` when one is named; false, with a message naming the
// Debian package to install when the tool is missing, when it cannot start or
// ends with a failure.
bool RunTool(const std::vector<std::wstring>& command, const std::wstring& debian_package,
             std::wstring& error, const std::wstring& working_folder = std::wstring(),
             const std::wstring& output_file = std::wstring());

}  // namespace korvan::package
