#pragma once
// The per-user folders under which settings and caches live. Taken from the
// environment, so on Linux a root is checked before it is used: a launcher
// run by one user with another user's environment must not read or write
// files that the other user controls.

#include <string>
#include <vector>

namespace korvan::platform {

struct UserRoot {
  std::wstring path;                      // empty when not known or none is fit
  std::vector<std::wstring> passed_over;  // each candidate refused, and why
};

// %APPDATA% on Windows; $XDG_CONFIG_HOME, else ~/.config elsewhere.
UserRoot UserSettingsRoot();

// %LOCALAPPDATA% on Windows; $XDG_CACHE_HOME, else ~/.cache elsewhere.
UserRoot UserCacheRoot();

}  // namespace korvan::platform
