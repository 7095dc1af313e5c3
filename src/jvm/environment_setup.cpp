#include "jvm/environment_setup.h"

#include "launcher/launcher.h"

namespace korvan {

// Not built yet.
void PrepareEnvironment(Launcher&) {}

}  // namespace korvan
