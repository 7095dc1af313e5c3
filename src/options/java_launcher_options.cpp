#include "options/java_launcher_options.h"

namespace korvan {

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The setting that names what the option names; empty for other options.
std::wstring SettingInstead(const std::wstring& option) {
  if (option == L"-jar") return L"Main Jar";
  if (option == L"-m" || option == L"--module" || StartsWith(option, L"--module=")) {
    return L"Main Module";
  }
  if (option == L"-cp" || option == L"-classpath" || option == L"--class-path" ||
      StartsWith(option, L"--class-path=")) {
    return L"Class Path";
  }
  return std::wstring();
}

}  // namespace

JavaLauncherOptionScan TakeJavaLauncherOptions(const std::vector<std::wstring>& tokens) {
  JavaLauncherOptionScan scan;
  for (const std::wstring& token : tokens) {
    if (scan.refusal) break;
    if (token == L"-showversion" || token == L"-version") {
      scan.requests.version = VersionDisplay::StandardError;
      scan.requests.version_only = scan.requests.version_only || token == L"-version";
    } else if (token == L"--show-version" || token == L"--version") {
      scan.requests.version = VersionDisplay::StandardOutput;
      scan.requests.version_only = scan.requests.version_only || token == L"--version";
    } else if (token == L"-XshowSettings" || StartsWith(token, L"-XshowSettings:")) {
      scan.requests.show_settings = token;
    } else if (StartsWith(token, L"-splash:")) {
      scan.requests.splash_file = token.substr(8);
    } else if (const std::wstring setting = SettingInstead(token); !setting.empty()) {
      scan.refusal = MessageFailure(MessageId::JavaOptionHasSetting, {token, setting});
    } else if (token == L"--dry-run") {
      scan.refusal = MessageFailure(MessageId::JavaOptionRefused, {token});
    } else {
      scan.options.push_back(token);
    }
  }
  return scan;
}

}  // namespace korvan
