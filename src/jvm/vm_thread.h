#pragma once

namespace korvan {

struct Launcher;

// Creates the VM and runs the main class on a thread of its own, sized for
// Java; returns that thread's exit code (0 when main ran).
int RunVmThread(Launcher& launcher);

}  // namespace korvan
