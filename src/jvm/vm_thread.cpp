#include "jvm/vm_thread.h"

#include "launcher/launcher.h"

namespace korvan {

// Not built yet.
int RunVmThread(Launcher&) { return 1; }

}  // namespace korvan
