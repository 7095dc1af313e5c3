#pragma once

namespace korvan {

struct Launcher;

// Finds the JVM library to load: the configured runtime folder, the runtime
// beside the launcher, then the registered runtimes. True when found.
bool SearchRuntime(Launcher& launcher);

// Tells the user that no runtime qualified (message 206 or 207 with the
// version requirement).
void ReportMissingRuntime(const Launcher& launcher);

}  // namespace korvan
