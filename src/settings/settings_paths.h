#pragma once
// Where the launcher is, and where its settings files are: everything is
// derived from the launcher's own path.

#include <optional>
#include <string>

#include "messages/failure.h"
#include "platform/paths.h"
#include "settings/launch_settings.h"

namespace korvan {

// The full path of the launcher; message 202 around 208 when it cannot be known.
Expected<std::wstring> GetModulePath();

// The folder of `path`, ending with the path separator; empty when the path
// names no folder.
std::wstring FolderOf(const std::wstring& path);

// The per-user settings file of the launcher at `module_path`. With
// `create_folders` the product and product-code folders are made first.
std::wstring GetUserSettingsFilePath(const std::wstring& module_path,
                                     const LaunchSettings& settings, bool create_folders);

// --- The rules behind them, free of any system call ---

// The launcher path up to and including its last "." followed by "ini".
// Where executables have no extension, only the file name is searched for the
// "." and a file name without one gets ".ini" appended.
std::optional<std::wstring> SettingsFilePathFor(const std::wstring& module_path,
                                                const platform::PathRules& rules);

// "Product Name" without the characters \ ? " | > < : / *
std::wstring ProductFolderName(const std::wstring& product_name);

struct UserSettingsLocation {
  std::wstring product_folder;  // root, separator, product folder name
  std::wstring code_folder;     // product folder, separator, "Product Code"
  std::wstring file;            // code folder, separator, launcher base name + ".ini"
};

UserSettingsLocation UserSettingsLocationFor(const std::wstring& module_path,
                                             const std::wstring& root,
                                             const LaunchSettings& settings,
                                             const platform::PathRules& rules);

}  // namespace korvan
