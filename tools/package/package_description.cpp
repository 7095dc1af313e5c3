#include "package_description.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <cwctype>

#include "deb_package.h"
#include "platform/shared/ini_text.h"
#include "platform/shared/utf_text.h"
#include "version_info_text.h"

namespace korvan::package {
namespace {

using Setter = std::function<void(PackageDescription&, const std::wstring&)>;

struct KeyRule {
  std::wstring section;
  std::wstring key;
  Setter set;
};

Setter Into(std::wstring PackageDescription::*field) {
  return [field](PackageDescription& d, const std::wstring& value) { d.*field = value; };
}

Setter YesInto(bool PackageDescription::*field) {
  return [field](PackageDescription& d, const std::wstring& value) {
    d.*field = platform::EqualsIgnoringAsciiCase(value, L"yes");
  };
}

const std::vector<KeyRule>& KeyRules() {
  static const std::vector<KeyRule> rules = {
      {L"Package", L"Name", Into(&PackageDescription::name)},
      {L"Package", L"Version", Into(&PackageDescription::version)},
      {L"Package", L"Vendor", Into(&PackageDescription::vendor)},
      {L"Package", L"Description", Into(&PackageDescription::summary)},
      {L"Package", L"Target", nullptr},  // checked on its own
      {L"Package", L"Icon", Into(&PackageDescription::icon)},
      {L"Package", L"Upgrade Code", Into(&PackageDescription::upgrade_code)},
      {L"Package", L"Launcher", Into(&PackageDescription::launcher)},
      {L"Package", L"Output", Into(&PackageDescription::output)},
      {L"Package", L"Console", nullptr},  // checked on its own
      {L"Jars", L"Main Jar", Into(&PackageDescription::main_jar)},
      {L"Jars", L"Lib Folder", Into(&PackageDescription::lib_folder)},
      {L"Runtime", L"Folder", Into(&PackageDescription::runtime)},
      {L"Runtime", L"Modules", Into(&PackageDescription::modules)},
      {L"Signing", L"Certificate", Into(&PackageDescription::certificate)},
      {L"Signing", L"Password File", Into(&PackageDescription::password_file)},
      {L"Signing", L"Password Variable", Into(&PackageDescription::password_variable)},
      {L"Signing", L"Timestamp Server", Into(&PackageDescription::timestamp_server)},
      {L"Installer", L"MSI", YesInto(&PackageDescription::msi)},
      {L"Installer", L"DEB", YesInto(&PackageDescription::deb)},
      {L"Installer", L"Desktop Shortcut", YesInto(&PackageDescription::desktop_shortcut)},
  };
  return rules;
}

bool IsLaunchSection(const std::wstring& name) {
  std::wstring base = name;
  if (!base.empty() && base.back() == L'+') base.pop_back();
  for (const wchar_t* launch : {L"Java Runtime Environment", L"Class Path", L"Application",
                                L"Product Information"}) {
    if (platform::EqualsIgnoringAsciiCase(base, launch)) return true;
  }
  return false;
}

std::wstring Unquoted(const std::wstring& value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A path of the description, relative to its folder unless absolute.
std::wstring Resolved(const std::wstring& folder, const std::wstring& path) {
  if (path.empty()) return path;
  const std::filesystem::path given(path);
  if (given.is_absolute()) return path;
  return (std::filesystem::path(folder) / given).lexically_normal().wstring();
}

// Windows and MSI versions: one to four numbers, the first two up to 255.
bool IsInstallerVersion(const std::wstring& version) {
  std::size_t parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = version.find(L'.', start);
    const std::wstring part = version.substr(start, dot == std::wstring::npos ? dot : dot - start);
    if (part.empty() || part.size() > 5 || part.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    if (std::stoul(part) > (parts < 2 ? 255u : 65535u)) return false;
    ++parts;
    if (dot == std::wstring::npos) break;
    start = dot + 1;
  }
  return parts <= 4;
}

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, as MSI takes upgrade codes.
bool IsGuid(const std::wstring& text) {
  const std::wstring form = L"{00000000-0000-0000-0000-000000000000}";
  if (text.size() != form.size()) return false;
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] == L'0' ? !iswxdigit(text[i]) : text[i] != form[i]) return false;
  }
  return true;
}

// A [File Associations] line, ".kdoc=Korvan Document": the extension goes
// into registry keys, MIME globs and file names, so it is kept to a dot and
// ASCII letters, digits, "-" and "_". Why it is refused, or "".
std::wstring AddFileAssociation(PackageDescription& d, const std::wstring& key, const std::wstring& value) {
  const std::wstring extension = key.empty() ? key : key.substr(1);
  const bool plain = key.size() >= 2 && key.size() <= 17 && key.front() == L'.' &&
                     extension.find_first_not_of(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_") ==
                         std::wstring::npos;
  if (!plain) return L"\"" + key + L"\" is no file extension: a dot, then letters or digits, such as .kdoc";
  if (value.empty()) return L"the file type " + key + L" needs a description, such as " + key + L"=Korvan Document";
  for (const FileAssociation& known : d.file_associations) {
    if (platform::EqualsIgnoringAsciiCase(known.extension, extension)) return L"";  // the first counts
  }
  d.file_associations.push_back({extension, value});
  return L"";
}

}  // namespace

std::optional<PackageDescription> ParsePackageDescription(const std::wstring& path,
                                                          const std::string& file_bytes,
                                                          std::vector<std::wstring>& errors) {
  PackageDescription description;
  description.folder = std::filesystem::path(path).parent_path().wstring();
  if (description.folder.empty()) description.folder = L".";
  const auto problem = [&](std::size_t line, const std::wstring& what) {
    errors.push_back(path + (line ? L" line " + std::to_wstring(line) : L"") + L": " + what);
  };
  std::wstring target;
  std::wstring console = L"no";
  // As the profile functions read a settings file, the first of a repeated
  // key counts, also across repeated sections.
  std::vector<const KeyRule*> given;
  const std::vector<platform::IniSection> sections =
      platform::ParseIniText(platform::DecodeIniFile(file_bytes).text);
  for (const platform::IniSection& section : sections) {
    const bool launch = IsLaunchSection(section.name);
    const bool version_info = platform::EqualsIgnoringAsciiCase(section.name, L"Version Information");
    const bool associations = platform::EqualsIgnoringAsciiCase(section.name, L"File Associations");
    if (launch && platform::EqualsIgnoringAsciiCase(section.name, L"Class Path")) description.has_class_path = true;
    for (const platform::IniEntry& entry : section.entries) {
      // The profile functions read a comment as a key that nobody asks for.
      if (entry.key.rfind(L";", 0) == 0) continue;
      if (!entry.value) {
        problem(entry.line, L"\"" + entry.key + L"\" is no KEY=VALUE line");
        continue;
      }
      if (section.line == 0) {
        problem(entry.line, L"key \"" + entry.key + L"\" comes before any [section]");
      } else if (launch) {
        description.launch_settings.push_back({section.name, entry.key, *entry.value});
        for (const wchar_t* names : {L"Main Class", L"Main Jar", L"Main Module"}) {
          if (platform::EqualsIgnoringAsciiCase(entry.key, names) && !Unquoted(*entry.value).empty()) {
            description.names_main_class = true;
          }
        }
      } else if (associations) {
        const std::wstring why = AddFileAssociation(description, entry.key, Unquoted(*entry.value));
        if (!why.empty()) problem(entry.line, L"[File Associations] " + why);
      } else if (version_info) {
        const std::wstring pair = entry.key + L"=" + Unquoted(*entry.value);
        if (stamp::IsVersionPair(pair)) {
          description.version_pairs.push_back(pair);
        } else {
          problem(entry.line, L"unknown key \"" + entry.key + L"\" in [" + section.name + L"]");
        }
      } else {
        const KeyRule* rule = nullptr;
        for (const KeyRule& candidate : KeyRules()) {
          if (platform::EqualsIgnoringAsciiCase(candidate.section, section.name) &&
              platform::EqualsIgnoringAsciiCase(candidate.key, entry.key)) {
            rule = &candidate;
          }
        }
        if (!rule) {
          problem(entry.line, L"unknown key \"" + entry.key + L"\" in [" + section.name + L"]");
        } else if (std::find(given.begin(), given.end(), rule) == given.end()) {
          given.push_back(rule);
          if (rule->set) {
            rule->set(description, Unquoted(*entry.value));
          } else {
            (rule->key == L"Target" ? target : console) = Unquoted(*entry.value);
          }
        }
      }
    }
  }
  if (const std::optional<PackageTarget> named = TargetNamed(target)) {
    description.target = *named;
  } else {
    problem(0, L"[Package] Target is \"" + target + L"\": give " + TargetNames());
  }
  description.console = platform::EqualsIgnoringAsciiCase(console, L"yes");
  if (!description.console && !platform::EqualsIgnoringAsciiCase(console, L"no")) {
    problem(0, L"[Package] Console is \"" + console + L"\": give yes or no");
  }
  for (const auto& [value, what] : {std::pair{&description.name, L"[Package] Name"},
                                    std::pair{&description.version, L"[Package] Version"},
                                    std::pair{&description.main_jar, L"[Jars] Main Jar"},
                                    std::pair{&description.runtime, L"[Runtime] Folder"}}) {
    if (value->empty()) problem(0, std::wstring(what) + L" is required");
  }
  if (description.name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) {
    problem(0, L"[Package] Name \"" + description.name + L"\" cannot be a file name");
  }
  if (description.Windows() && !description.version.empty() && !IsInstallerVersion(description.version)) {
    problem(0, L"[Package] Version \"" + description.version +
                   L"\" is no Windows version: one to four numbers such as 1.2.0");
  }
  if (description.msi && (!description.Windows() || description.vendor.empty() || description.upgrade_code.empty())) {
    problem(0, L"[Installer] MSI needs Target=windows-x64, a Vendor and an Upgrade Code");
  }
  if (description.deb && description.Windows()) problem(0, L"[Installer] DEB needs Target=linux-x64 or linux-arm64");
  if (description.deb && !description.Windows() && !description.version.empty()) {
    if (const std::wstring why = WhyNoDebianVersion(description.version); !why.empty()) problem(0, why);
  }
  if (description.deb && DebianPackageName(description.name).size() < 2) {
    problem(0, L"[Package] Name \"" + description.name +
                   L"\" gives no Debian package name (two letters or digits at least)");
  }
  if (!description.upgrade_code.empty() && !IsGuid(description.upgrade_code)) {
    problem(0, L"[Package] Upgrade Code \"" + description.upgrade_code +
                   L"\" is no GUID such as {0F6A2C51-7D3E-4B8A-9C1D-2E3F4A5B6C7D}");
  }
  if (!description.certificate.empty() && !description.Windows()) {
    problem(0, L"[Signing] is for Windows packages");
  }
  if (!errors.empty()) return std::nullopt;
  for (std::wstring* file : {&description.icon, &description.launcher, &description.output,
                             &description.main_jar, &description.lib_folder, &description.runtime,
                             &description.certificate, &description.password_file}) {
    *file = Resolved(description.folder, *file);
  }
  return description;
}

}  // namespace korvan::package
