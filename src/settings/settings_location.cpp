#include "settings/settings_location.h"

#include "messages/trace.h"
#include "settings/embedded_settings.h"
#include "settings/setting_trace.h"
#include "settings/settings_paths.h"

namespace korvan {

Expected<SettingsSource> OpenSettingsSource() {
  Expected<std::wstring> module_path = GetModulePath();
  if (!module_path) return module_path.failure();
  std::optional<std::wstring> file = SettingsFilePathFor(*module_path, platform::GetPathRules());
  if (!file) return SilentFailure();
  Trace(L"settings file: " + *file);

  SettingsSource source;
  source.launcher_path = *module_path;
  source.file_path = *file;
  source.upgrade_code =
      ReadTracedProfileString(source.file_path, L"Product Information", L"Upgrade Code");
  source.embedded_sections = LoadEmbeddedSettings(source.upgrade_code);
  return source;
}

}  // namespace korvan
