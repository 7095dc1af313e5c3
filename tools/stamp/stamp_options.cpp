#include "stamp_options.h"

#include "version_info_text.h"

namespace korvan::stamp {

std::optional<StampOptions> ParseStampOptions(const std::vector<std::wstring>& arguments,
                                              std::string& error) {
  StampOptions options;
  std::vector<std::wstring> files;
  const auto refuse = [&error](const std::string& why) -> std::optional<StampOptions> {
    error = why;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (argument == L"--show") {
      options.show = true;
    } else if (argument == L"--raw") {
      options.raw = true;
    } else if (argument == L"--remove") {
      options.remove_settings = true;
    } else if (argument == L"--remove-icon") {
      options.remove_icon = true;
    } else if (argument == L"--remove-version-info") {
      options.remove_version_info = true;
    } else if (argument == L"--upgrade-code" && has_value) {
      options.upgrade_code = arguments[++i];
    } else if (argument == L"--output" && has_value) {
      options.output = arguments[++i];
    } else if (argument == L"--icon" && has_value) {
      options.icon = arguments[++i];
    } else if (argument == L"--version-info" && has_value) {
      if (!IsVersionPair(arguments[i + 1])) {
        options.version_files.push_back(arguments[++i]);
        continue;
      }
      while (i + 1 < arguments.size() && IsVersionPair(arguments[i + 1])) {
        options.version_pairs.push_back(arguments[++i]);
      }
    } else if (argument.rfind(L"--", 0) == 0) {
      return refuse("unknown option or missing value: " + std::string(argument.begin(), argument.end()));
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty() || files.size() > 2) return refuse("name the launcher, then at most one text file");
  options.launcher = files[0];
  if (files.size() == 2) options.text_file = files[1];
  if (options.show) {
    if (options.text_file || !options.output.empty() || options.remove_settings ||
        options.EditsWindowsResources()) {
      return refuse("--show only reads: it takes the launcher and --upgrade-code or --raw");
    }
    return options;
  }
  if (options.text_file && options.remove_settings) {
    return refuse("--remove and a text file contradict each other");
  }
  if (!options.icon.empty() && options.remove_icon) return refuse("--icon and --remove-icon contradict each other");
  if ((!options.version_pairs.empty() || !options.version_files.empty()) && options.remove_version_info) {
    return refuse("--version-info and --remove-version-info contradict each other");
  }
  if (!options.text_file && !options.remove_settings && !options.EditsWindowsResources()) {
    return refuse("nothing to do: give a text file, --icon, --version-info or a --remove option");
  }
  return options;
}

}  // namespace korvan::stamp
