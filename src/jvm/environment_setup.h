#pragma once

namespace korvan {

struct Launcher;

// Publishes the chosen runtime in the process environment, extends the
// executable search path and puts the library path option first.
void PrepareEnvironment(Launcher& launcher);

}  // namespace korvan
