#include "launcher/launcher.h"
#include "settings/launch_settings.h"

namespace korvan {

// Not built yet: the run ends here.
bool ReadClassPathGroup(const Launcher&, ClassPathGroup&) { return false; }

}  // namespace korvan
