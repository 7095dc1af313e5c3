#pragma once

namespace korvan {

struct Launcher;

// Hands the entry thread to the Service Control Manager; returns the exit code.
int RunAsService(Launcher& launcher);

}  // namespace korvan
