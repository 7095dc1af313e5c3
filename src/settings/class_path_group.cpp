#include "settings/launch_settings.h"

#include "platform/shared/utf_text.h"
#include "settings/setting_trace.h"
#include "settings/setting_values.h"

namespace korvan {

Expected<ClassPathGroup> ReadClassPathGroup(const SettingsSource& source,
                                            bool class_path_required) {
  ClassPathGroup group;
  group.class_path = LookupTracedSetting(source, L"Class Path", L"Class Path");
  if (group.class_path.empty() && class_path_required) return MessageFailure(MessageId::ClassPathMissing);
  group.expand_wildcards =
      IsYesInAnyCase(LookupTracedSetting(source, L"Class Path", L"Expand Wildcards"));
  group.vm_parameters =
      LookupTracedSetting(source, L"Java Runtime Environment", L"Virtual Machine Parameters");
  group.class_data_archive = platform::EqualsIgnoringAsciiCase(
      LookupTracedSetting(source, L"Java Runtime Environment", L"Class Data Archive"), L"auto");
  group.output_file = LookupTracedSetting(source, L"Application", L"Output File");
  group.error_file = LookupTracedSetting(source, L"Application", L"Error File");
  group.extra_arguments = LookupTracedSetting(source, L"Application", L"Cmd");
  return group;
}

}  // namespace korvan
