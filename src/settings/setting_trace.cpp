#include "settings/setting_trace.h"

#include "messages/trace.h"

namespace korvan {

void TraceSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                  const std::wstring& where_from) {
  if (value.empty() || !TraceEnabled()) return;
  Trace(L"setting [" + section + L"] " + key + L" = " + value + L" (" + where_from + L")");
}

std::wstring LookupTracedSetting(const SettingsSource& source, const std::wstring& section,
                                 const std::wstring& key) {
  SettingOrigin origin = SettingOrigin::None;
  std::wstring value = LookupSetting(source, section, key, &origin);
  TraceSetting(section, key, value, DescribeOrigin(origin, section));
  return value;
}

std::wstring ReadTracedProfileString(const std::wstring& file, const std::wstring& section,
                                     const std::wstring& key) {
  std::wstring value = ReadProfileString(file, section, key);
  TraceSetting(section, key, value, L"settings file");
  return value;
}

}  // namespace korvan
