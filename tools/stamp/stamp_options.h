#pragma once
// The command line of korvan-stamp.

#include <optional>
#include <string>
#include <vector>

namespace korvan::stamp {

constexpr char kUsage[] =
    "usage: korvan-stamp [OPTIONS] LAUNCHER [TEXT-FILE]\n"
    "       korvan-stamp --show [--upgrade-code CODE] [--raw] LAUNCHER\n"
    "       korvan-stamp --help\n"
    "  TEXT-FILE                  embed this settings text (see docs/settings.md)\n"
    "  --upgrade-code CODE        the key of the settings text: the settings file's Upgrade Code\n"
    "  --raw                      take TEXT-FILE's bytes, or show the embedded bytes, as they\n"
    "                             are: no text conversion and no cipher\n"
    "  --remove                   remove the embedded settings text\n"
    "  --output FILE              write the stamped launcher to FILE, not over LAUNCHER\n"
    "Windows launchers only:\n"
    "  --icon FILE.ico            the application's icon (every image of the file)\n"
    "  --remove-icon              remove the application's icon\n"
    "  --version-info KEY=VALUE...  version information, such as FileVersion=1.2.3.4;\n"
    "                             keys: CompanyName FileDescription FileVersion InternalName\n"
    "                             LegalCopyright OriginalFilename ProductName ProductVersion\n"
    "                             Comments LegalTrademarks\n"
    "  --version-info FILE        the same as KEY=VALUE lines of a text file\n"
    "  --remove-version-info      remove the version information\n";

struct StampOptions {
  bool show = false;
  bool raw = false;
  bool remove_settings = false;
  bool remove_icon = false;
  bool remove_version_info = false;
  std::wstring upgrade_code;
  std::wstring output;
  std::wstring icon;
  std::vector<std::wstring> version_pairs;
  std::vector<std::wstring> version_files;
  std::wstring launcher;
  std::optional<std::wstring> text_file;
  // korvan-package: the windowed form (GUI subsystem) or the console form.
  std::optional<bool> windowed;

  bool EditsWindowsResources() const {
    return !icon.empty() || remove_icon || !version_pairs.empty() || !version_files.empty() ||
           remove_version_info;
  }
};

// None, with a message, for a command line that asks nothing or asks
// contradictory things.
std::optional<StampOptions> ParseStampOptions(const std::vector<std::wstring>& arguments,
                                              std::string& error);

}  // namespace korvan::stamp
