#include "settings/launch_settings.h"

#include "launcher/launcher.h"

namespace korvan {

// Settings reading is not built yet: start-up ends here.
bool ReadLaunchSettings(Launcher&) { return false; }

}  // namespace korvan
