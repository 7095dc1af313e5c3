#pragma once

namespace korvan {

struct Launcher;

// Reads the class-path group of settings and builds the VM option list, the VM
// thread stack size, the output and error files and the "Cmd" arguments.
bool AssembleVmOptions(Launcher& launcher);

}  // namespace korvan
