#include "support/dialog_driver.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/launch_folder.h"

namespace korvan::e2e {

ProcessResult DriveDialog(const std::vector<std::string>& arguments) {
  std::vector<std::string> command{
      (std::filesystem::path(KORVAN_WINDOWS_BUILD_DIR) / "fixtures" / "dialog-driver.exe").string()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessOptions options;
  options.time_limit_seconds = 75;  // the folder browser is slow on a busy machine
  return RunUnderWine(command, options);
}

DialogControl FindControl(const std::string& dump, int id) {
  std::string text = dump;
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  std::istringstream lines(text);
  const std::string prefix = "control " + std::to_string(id) + " ";
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    DialogControl control;
    control.found = true;
    std::istringstream words(line.substr(prefix.size()));
    std::string enabled;
    words >> control.kind >> enabled;
    control.enabled = enabled == "enabled=1";
    const std::size_t at = line.find(" text=");
    if (at != std::string::npos) control.text = line.substr(at + 6);
    return control;
  }
  return DialogControl{};
}

}  // namespace korvan::e2e
