#pragma once
// The last step of start-up when no runtime qualified: the user is asked for
// one, and the folder chosen is remembered as "JRE Path" for later starts.

#include "launcher/launcher.h"
#include "messages/failure.h"

namespace korvan {

// Asks for a runtime; on success the launcher's runtime is the chosen JVM
// library. A service is never asked. Where no dialog was shown the failure
// carries the missing-runtime message; a cancelled dialog fails silently.
Outcome ChooseRuntime(Launcher& launcher);

}  // namespace korvan
