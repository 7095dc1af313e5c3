#pragma once
// How the launcher hands "Library Path" to the VM. Windows: as the
// "-Djava.library.path=" option, with the launcher folder, "." and "Path"
// after it, as users there expect. Linux: in front of the loader's variable
// LD_LIBRARY_PATH, which the VM puts before its own default folders when it
// builds java.library.path, so the result is what the java command gives,
// never the current folder or the folders of PATH.

namespace korvan::platform {

struct NativeLibraryPathRules {
  // The variable the VM builds its default library path from; nullptr when
  // the path goes in a VM option instead.
  const wchar_t* loader_variable;
};

NativeLibraryPathRules GetNativeLibraryPathRules();

}  // namespace korvan::platform
