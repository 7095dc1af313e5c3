#pragma once
// Options that only the java command's own launcher knows (the VM refuses
// them as unrecognized): taken out of "Virtual Machine Parameters" and done
// as java does them, or refused by name. Free of system calls.

#include <optional>
#include <string>
#include <vector>

#include "messages/failure.h"

namespace korvan {

enum class VersionDisplay { None, StandardError, StandardOutput };

// What the VM thread does for these options once the VM exists.
struct JavaLauncherRequests {
  VersionDisplay version = VersionDisplay::None;  // -showversion, --show-version, -version, --version
  bool version_only = false;                      // -version, --version: no main after it
  std::wstring show_settings;                     // the -XshowSettings option as given; empty without
  std::wstring splash_file;                       // the last -splash: option's file; empty without
};

struct JavaLauncherOptionScan {
  std::vector<std::wstring> options;  // every other token, in order
  JavaLauncherRequests requests;
  std::optional<Failure> refusal;     // the first option that cannot be taken here
};

// -showversion and -version print the runtime's version on standard error,
// --show-version and --version on standard output; -XshowSettings[:x] shows
// the settings; -splash:FILE names the splash image (shown before the VM). -jar, -m/--module and
// -cp/-classpath/--class-path name what a setting names here (message 245);
// --dry-run has no use for a launched application (message 246).
JavaLauncherOptionScan TakeJavaLauncherOptions(const std::vector<std::wstring>& tokens);

}  // namespace korvan
