#include "launcher/launcher.h"
#include "messages/messages.h"
#include "settings/embedded_settings.h"
#include "settings/launch_settings.h"
#include "settings/setting_trace.h"
#include "settings/settings_paths.h"

namespace korvan {

bool ReadClassPathGroup(const Launcher& launcher, ClassPathGroup& group) {
  SettingsSource source;
  if (!GetSettingsFilePath(source.file_path)) return false;
  source.embedded_sections = LoadEmbeddedSettings(launcher.settings.upgrade_code);

  group.class_path = LookupTracedSetting(source, L"Class Path", L"Class Path");
  if (group.class_path.empty()) {
    ReportError(MessageId::ClassPathMissing);
    return false;
  }
  group.vm_parameters =
      LookupTracedSetting(source, L"Java Runtime Environment", L"Virtual Machine Parameters");
  group.output_file = LookupTracedSetting(source, L"Application", L"Output File");
  group.error_file = LookupTracedSetting(source, L"Application", L"Error File");
  group.extra_arguments = LookupTracedSetting(source, L"Application", L"Cmd");
  return true;
}

}  // namespace korvan
