#include "platform/paths.h"

#include "platform/environment.h"

namespace korvan::platform {

SearchPathRules GetSearchPathRules() { return SearchPathRules{L"PATH", L':'}; }

PathRules GetPathRules() { return PathRules{L'/', true}; }

std::wstring UserSettingsRoot() {
  std::wstring root;
  if (ReadEnvironmentVariable(L"XDG_CONFIG_HOME", root) && !root.empty()) return root;
  if (ReadEnvironmentVariable(L"HOME", root) && !root.empty()) return root + L"/.config";
  return std::wstring();
}

}  // namespace korvan::platform
