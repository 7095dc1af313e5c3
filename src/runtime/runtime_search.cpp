#include "runtime/runtime_search.h"

#include "launcher/launcher.h"

namespace korvan {

// The runtime search is not built yet: start-up ends here.
bool SearchRuntime(Launcher&) { return false; }

void ReportMissingRuntime(const Launcher&) {}

}  // namespace korvan
