#include "app_settings_file.h"

#include "platform/shared/ini_text.h"

namespace korvan::package {

std::string AppSettingsFileBytes(const PackageDescription& description, const std::vector<std::wstring>& jars) {
  const bool windows = description.Windows();
  const std::wstring end = windows ? L"\r\n" : L"\n";
  std::wstring text;
  const std::wstring* section = nullptr;
  for (const LaunchSetting& setting : description.launch_settings) {
    if (!section || *section != setting.section) {
      text += (section ? end : L"") + L"[" + setting.section + L"]" + end;
      section = &setting.section;
    }
    text += setting.key + L"=" + setting.value + end;
  }
  if (!description.has_class_path) {
    std::wstring class_path;
    for (std::wstring jar : jars) {
      if (windows) {
        for (wchar_t& c : jar) {
          if (c == L'/') c = L'\\';
        }
      }
      if (!class_path.empty()) class_path += windows ? L";" : L":";
      class_path += L"%KORVAN_APP_HOME%" + std::wstring(windows ? L"\\" : L"/") + jar;
    }
    text += (text.empty() ? L"" : end) + L"[Class Path]" + end + L"Class Path=" + class_path + end;
  }
  bool ascii = true;
  for (wchar_t c : text) ascii = ascii && c < 0x80;
  if (ascii) return std::string(text.begin(), text.end());
  return platform::EncodeIniFile(text, windows ? platform::IniEncoding::Utf16Le : platform::IniEncoding::Utf8);
}

}  // namespace korvan::package
