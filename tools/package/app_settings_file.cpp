#include "app_settings_file.h"

#include "platform/shared/ini_text.h"
#include "platform/shared/utf_text.h"

namespace korvan::package {

namespace {

const std::wstring kRuntimeSection = L"Java Runtime Environment";

std::wstring InApplicationHome(std::wstring jar, bool windows) {
  if (windows) {
    for (wchar_t& c : jar) {
      if (c == L'/') c = L'\\';
    }
  }
  return L"%KORVAN_APP_HOME%" + std::wstring(windows ? L"\\" : L"/") + jar;
}

}  // namespace

std::string AppSettingsFileBytes(const PackageDescription& description, const std::vector<std::wstring>& jars) {
  const bool windows = description.Windows();
  const std::wstring end = windows ? L"\r\n" : L"\n";
  // Without a main class the main jar's manifest names it, as java -jar reads it;
  // the jar is then on the class path of its own accord.
  const bool main_jar_runs = !description.names_main_class && !jars.empty();
  const std::wstring main_jar_line =
      main_jar_runs ? L"Main Jar=" + InApplicationHome(jars.front(), windows) + end : L"";
  std::wstring text;
  const std::wstring* section = nullptr;
  bool main_jar_written = false;
  for (const LaunchSetting& setting : description.launch_settings) {
    if (!section || *section != setting.section) {
      text += (section ? end : L"") + L"[" + setting.section + L"]" + end;
      section = &setting.section;
      if (main_jar_runs && !main_jar_written && platform::EqualsIgnoringAsciiCase(setting.section, kRuntimeSection)) {
        text += main_jar_line;
        main_jar_written = true;
      }
    }
    text += setting.key + L"=" + setting.value + end;
  }
  if (main_jar_runs && !main_jar_written) {
    text += (text.empty() ? L"" : end) + L"[" + kRuntimeSection + L"]" + end + main_jar_line;
  }
  const std::size_t class_path_jars = main_jar_runs ? 1 : 0;
  if (!description.has_class_path && jars.size() > class_path_jars) {
    std::wstring class_path;
    for (std::size_t i = class_path_jars; i < jars.size(); ++i) {
      if (!class_path.empty()) class_path += windows ? L";" : L":";
      class_path += InApplicationHome(jars[i], windows);
    }
    text += (text.empty() ? L"" : end) + L"[Class Path]" + end + L"Class Path=" + class_path + end;
  }
  bool ascii = true;
  for (wchar_t c : text) ascii = ascii && c < 0x80;
  if (ascii) return std::string(text.begin(), text.end());
  return platform::EncodeIniFile(text, windows ? platform::IniEncoding::Utf16Le : platform::IniEncoding::Utf8);
}

}  // namespace korvan::package
