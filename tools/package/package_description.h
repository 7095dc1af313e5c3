#pragma once
// The package description that korvan-package reads: an INI file in the
// settings file's syntax, kept in the application's repository. Every key is
// listed in docs/packaging.md. Sections named like the launcher's settings
// sections ("Java Runtime Environment", "Class Path", "Application",
// "Product Information", and their "+" forms) are the launch settings,
// written out beside the launcher as they stand.

#include <optional>
#include <string>
#include <vector>

#include "package_target.h"

namespace korvan::package {

struct LaunchSetting {
  std::wstring section;
  std::wstring key;
  std::wstring value;  // as written, quotes included
};

// `[File Associations]`: a document type the application opens.
struct FileAssociation {
  std::wstring extension;    // without its dot: "kdoc"
  std::wstring description;  // "Korvan Document"
};

struct PackageDescription {
  std::wstring folder;  // of the description file: relative paths start here
  std::wstring name;
  std::wstring version;
  std::wstring vendor;
  std::wstring summary;  // [Package] Description: shortcut comments
  PackageTarget target = PackageTarget::WindowsX64;
  std::wstring icon;
  std::wstring upgrade_code;
  std::wstring launcher;
  std::wstring output;
  std::wstring main_jar;
  std::wstring lib_folder;
  std::wstring runtime;
  std::wstring modules;                      // for jlink, separated by ","
  std::vector<std::wstring> version_pairs;   // KEY=VALUE for the stamping code
  std::wstring certificate;
  std::wstring password_file;
  std::wstring password_variable;
  std::wstring timestamp_server;
  bool console = false;  // the console launcher (and a terminal for the desktop entry); by default windowed
  bool msi = false;
  bool deb = false;
  bool desktop_shortcut = false;
  std::vector<FileAssociation> file_associations;
  std::vector<LaunchSetting> launch_settings;
  bool has_class_path = false;  // the launch settings name their own class path
  // The launch settings name what runs ("Main Class", "Main Jar" or "Main
  // Module"); else the main jar's manifest does.
  bool names_main_class = false;

  bool Windows() const { return target == PackageTarget::WindowsX64; }
  // What shortcuts and desktop entries say of the application.
  std::wstring Summary() const { return summary.empty() ? name : summary; }
  std::wstring TargetName() const { return FactsOf(target).name; }
};

// The description in `file_bytes` of the file at `path`; none, with every
// problem in `errors` (one line each, "PATH line N: ..." where a line is
// to blame), when a key is unknown, a required one missing or a value wrong.
std::optional<PackageDescription> ParsePackageDescription(const std::wstring& path,
                                                          const std::string& file_bytes,
                                                          std::vector<std::wstring>& errors);

}  // namespace korvan::package
