#include "settings/settings_paths.h"

#include "messages/trace.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/user_roots.h"

namespace korvan {

Expected<std::wstring> GetModulePath() {
  if (std::optional<std::wstring> path = platform::ModuleFileName()) return *path;
  return SystemFailure(MessageId::ModulePathFailed, platform::LastErrorCode());
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t last = path.rfind(platform::GetPathRules().separator);
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

std::wstring GetUserSettingsFilePath(const std::wstring& module_path,
                                     const LaunchSettings& settings, bool create_folders) {
  const platform::UserRoot root = platform::UserSettingsRoot();
  for (const std::wstring& why : root.passed_over) Trace(L"per-user settings root: not " + why);
  // Better no per-user file than one that someone else controls.
  if (root.path.empty() && !root.passed_over.empty()) return std::wstring();
  const UserSettingsLocation location =
      UserSettingsLocationFor(module_path, root.path, settings, platform::GetPathRules());
  if (create_folders) {
    platform::MakeDirectory(location.product_folder);
    platform::MakeDirectory(location.code_folder);
  }
  return location.file;
}

std::optional<std::wstring> SettingsFilePathFor(const std::wstring& module_path,
                                                const platform::PathRules& rules) {
  const std::size_t dot = module_path.rfind(L'.');
  if (!rules.extensionless_executables) {
    if (dot == std::wstring::npos) return std::nullopt;
    return module_path.substr(0, dot + 1) + L"ini";
  }
  const std::size_t name_start = module_path.rfind(rules.separator);
  const bool dot_in_name =
      dot != std::wstring::npos && (name_start == std::wstring::npos || dot > name_start);
  if (!dot_in_name) return module_path + L".ini";
  return module_path.substr(0, dot + 1) + L"ini";
}

std::wstring ProductFolderName(const std::wstring& product_name) {
  static const std::wstring kRemoved = L"\\?\"|><:/*";
  std::wstring folder;
  for (wchar_t c : product_name) {
    if (kRemoved.find(c) == std::wstring::npos) folder += c;
  }
  return folder;
}

UserSettingsLocation UserSettingsLocationFor(const std::wstring& module_path,
                                             const std::wstring& root,
                                             const LaunchSettings& settings,
                                             const platform::PathRules& rules) {
  const std::size_t name_start = module_path.rfind(rules.separator);
  const std::wstring file_name =
      name_start == std::wstring::npos ? module_path : module_path.substr(name_start + 1);
  const std::wstring base_name = file_name.substr(0, file_name.rfind(L'.'));

  const auto join = [&rules](const std::wstring& folder, const std::wstring& element) {
    return element.empty() && rules.skips_empty_path_elements ? folder : folder + rules.separator + element;
  };
  UserSettingsLocation location;
  location.product_folder = join(root, ProductFolderName(settings.product_name));
  location.code_folder = join(location.product_folder, settings.product_code);
  location.file = join(location.code_folder, base_name + L".ini");
  return location;
}

}  // namespace korvan
