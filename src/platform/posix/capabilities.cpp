#include "platform/capabilities.h"

namespace korvan::platform {

bool RemembersUserRuntimeChoice() { return true; }

bool UserSettingsNeedProductName() { return true; }

std::size_t LongestFindablePath() { return 259; }

}  // namespace korvan::platform
