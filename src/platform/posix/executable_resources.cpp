#include "platform/executable_resources.h"

namespace korvan::platform {

bool CanEditExecutableResources() { return false; }

bool WriteSettingsResource(const std::wstring&, const std::string*) { return false; }

bool ReadSettingsResource(const std::wstring&, std::string&) { return false; }

}  // namespace korvan::platform
