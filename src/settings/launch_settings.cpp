#include "settings/launch_settings.h"

#include "messages/trace.h"
#include "platform/capabilities.h"
#include "platform/files.h"
#include "settings/setting_trace.h"
#include "settings/setting_values.h"
#include "settings/settings_paths.h"

namespace korvan {
namespace {

const std::wstring kProductInformation = L"Product Information";
const std::wstring kJavaRuntimeEnvironment = L"Java Runtime Environment";
const std::wstring kApplication = L"Application";

bool UserSettingsFileExists(const std::wstring& path) {
  return !path.empty() && path.size() <= platform::LongestFindablePath() && platform::PathExists(path);
}

// "JRE Path": a runtime that the user chose once is remembered in the per-user
// settings file, which then alone decides, even when it holds no such key.
// Services and systems outside the NT family read the settings as usual.
std::wstring ReadConfiguredRuntimeFolder(const SettingsSource& source,
                                         const LaunchSettings& settings) {
  const std::wstring key = L"JRE Path";
  const bool user_file_named = !platform::UserSettingsNeedProductName() ||
                               !ProductFolderName(settings.product_name).empty();
  if (platform::RemembersUserRuntimeChoice() && !settings.service) {
    // Said either way, so that a user who wants one knows where it goes.
    if (!user_file_named) Trace(L"per-user settings file: none without a Product Name");
    const std::wstring user_file =
        user_file_named ? GetUserSettingsFilePath(source.launcher_path, settings, false) : std::wstring();
    if (UserSettingsFileExists(user_file)) {
      std::wstring value = ReadProfileString(user_file, kJavaRuntimeEnvironment, key);
      TraceSetting(kJavaRuntimeEnvironment, key, value, L"per-user settings file " + user_file);
      if (value.empty()) Trace(L"setting JRE Path: none, as the per-user settings file " + user_file + L" says");
      return value;
    }
    if (!user_file.empty()) Trace(L"per-user settings file: " + user_file + L" (absent)");
  }
  return LookupTracedSetting(source, kJavaRuntimeEnvironment, key);
}

}  // namespace

Expected<LaunchSettings> ReadLaunchSettings(const SettingsSource& source) {
  LaunchSettings settings;
  settings.product_code = ReadTracedProfileString(source.file_path, kProductInformation, L"Product Code");
  settings.upgrade_code = source.upgrade_code;
  settings.product_name = ReadTracedProfileString(source.file_path, kProductInformation, L"Product Name");

  settings.minimum_version = ConvertMinimumVersion(
      LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Minimum Version"));
  settings.maximum_version = ConvertMaximumVersion(
      LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Maximum Version"));
  settings.service =
      IsServiceApplicationType(LookupTracedSetting(source, kApplication, L"Application Type"));
  settings.preferred_versions =
      SplitPreferredList(LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Preferred versions"));

  settings.configured_runtime_folder = ReadConfiguredRuntimeFolder(source, settings);

  settings.jvm_kind = JvmKindFrom(LookupTracedSetting(source, kJavaRuntimeEnvironment, L"JVM Type"));
  ApplyJvmSource(LookupTracedSetting(source, kJavaRuntimeEnvironment, L"JVM Source"), settings);
  ApplyVmProvider(LookupTracedSetting(source, kJavaRuntimeEnvironment, L"VM Provider"), settings);

  std::wstring main_class = LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Main Class");
  settings.main_jar = LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Main Jar");
  const std::wstring main_module = LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Main Module");
  const std::size_t slash = main_module.find(L'/');
  settings.main_module = main_module.substr(0, slash);
  if (slash != std::wstring::npos) main_class = main_module.substr(slash + 1);
  if (main_class.empty() && settings.main_jar.empty() && settings.main_module.empty()) {
    return MessageFailure(MessageId::MainClassMissing);
  }
  settings.main_class = InternalClassName(main_class);

  settings.failure_check = IsYesInAnyCase(LookupTracedSetting(source, kApplication, L"Failure Check"));
  settings.override_working_directory =
      IsYesInAnyCase(LookupTracedSetting(source, kApplication, L"Override WorkingDir"));
  settings.system_path = LookupTracedSetting(source, kJavaRuntimeEnvironment, L"System Path");
  settings.library_path = LookupTracedSetting(source, kJavaRuntimeEnvironment, L"Library Path");
  return settings;
}

}  // namespace korvan
