#include "platform/paths.h"

#include "platform/environment.h"

namespace korvan::platform {

SearchPathRules GetSearchPathRules() { return SearchPathRules{L"PATH", L':'}; }

PathRules GetPathRules() { return PathRules{L'/', true, true}; }

std::wstring UserSettingsRoot() {
  std::wstring root = ReadEnvironmentVariable(L"XDG_CONFIG_HOME").value_or(L"");
  if (!root.empty()) return root;
  root = ReadEnvironmentVariable(L"HOME").value_or(L"");
  if (!root.empty()) return root + L"/.config";
  return std::wstring();
}

}  // namespace korvan::platform
