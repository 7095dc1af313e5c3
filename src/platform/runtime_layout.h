#pragma once
// How a Java runtime folder is laid out on this system: where its JVM
// libraries are, which file marks a complete runtime, and the folder names the
// runtime search looks for. Each system has one table; the selection rules
// that read it are the same everywhere.

#include <string>
#include <vector>

namespace korvan::platform {

struct JvmLibraryPlace {
  std::wstring sub_path;  // below the runtime folder, with this system's separators
  bool server;            // a server VM lives here
};

struct RuntimeLayout {
  wchar_t separator;  // ends every folder path
  // In the order a runtime folder is searched when any JVM kind will do.
  std::vector<JvmLibraryPlace> jvm_libraries;
  // A runtime shipped beside the launcher counts only when it holds this file.
  std::wstring marker_file;
  // The subfolder beside the launcher that may hold the shipped runtime,
  // ending with the separator.
  std::wstring bundled_runtime_folder;
  // The runtime inside a registered JDK, ending with the separator.
  std::wstring jdk_runtime_folder;
  // Windows registrations name the JDK itself, whose runtime is always in
  // "jre\"; newer JDKs elsewhere have no such folder, so it is used only when
  // it exists.
  bool jdk_runtime_folder_only_when_present;
  // Whether two paths that differ only in letter case name the same folder.
  bool paths_ignore_case = false;
  // The java command in the runtime's bin folder.
  std::wstring java_command;
  // The runtime's splash-screen library (module java.desktop), below the
  // runtime folder.
  std::wstring splash_library;
};

// The layouts the launcher knows, for tests, the packaging tool and the
// backends. A Linux JDK 8 keeps its JVM libraries in lib/<machine_folder>/:
// "amd64" on x86-64, "aarch64" on ARM64.
const RuntimeLayout& WindowsRuntimeLayout();
RuntimeLayout LinuxRuntimeLayout(const std::wstring& machine_folder);

// The layout of the system the launcher runs on.
const RuntimeLayout& GetRuntimeLayout();

}  // namespace korvan::platform
