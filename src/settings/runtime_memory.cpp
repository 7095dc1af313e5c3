#include "settings/runtime_memory.h"

#include "messages/trace.h"
#include "platform/capabilities.h"
#include "platform/profile.h"
#include "settings/settings_paths.h"

namespace korvan {

std::wstring RuntimeMemoryFile(const SettingsSource& source, const LaunchSettings& settings,
                               bool create_folders) {
  if (source.file_path.empty()) return std::wstring();
  if (platform::RemembersUserRuntimeChoice() && !settings.service) {
    return GetUserSettingsFilePath(source.launcher_path, settings, create_folders);
  }
  return source.file_path;
}

bool RememberRuntimeFolder(const SettingsSource& source, const LaunchSettings& settings,
                           const std::wstring& folder) {
  const std::wstring file = RuntimeMemoryFile(source, settings, true);
  if (file.empty()) return false;
  Trace(L"remembering JRE Path " + folder + L" in " + file);
  return platform::WriteProfileValue(file, L"Java Runtime Environment", L"JRE Path", folder);
}

}  // namespace korvan
