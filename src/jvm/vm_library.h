#pragma once

namespace korvan {

struct Launcher;

// Loads the JVM library and resolves its two invocation functions.
bool LoadVmLibrary(Launcher& launcher);

}  // namespace korvan
