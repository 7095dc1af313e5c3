#pragma once
// Where the JVM library comes from: the configured runtime folder, the runtime
// beside the launcher, then the registered runtimes.

#include <functional>
#include <optional>
#include <string>

#include "platform/runtime_registry.h"
#include "runtime/java_version.h"
#include "runtime/jvm_library.h"
#include "settings/launch_settings.h"

namespace korvan {

struct Launcher;

// What the search reads of the system.
struct RuntimeSearchSystem {
  RuntimeFiles files;
  // The launcher's folder, ending with the separator; false (after reporting
  // why) when it cannot be known.
  std::function<bool(std::wstring& folder)> launcher_folder;
  platform::RuntimeRegistry& registry;
};

struct RuntimeSearchResult {
  std::wstring jvm_library_path;              // empty when no place qualified
  std::optional<JavaVersion> found_version;   // set when a registered runtime was chosen
};

// The three places in order; the first that yields a JVM library wins.
RuntimeSearchResult FindJvmLibrary(const LaunchSettings& settings, RuntimeSearchSystem& system);

// Finds the JVM library for the launcher's settings on this system and stores
// it, with the found version, in the launcher. True when found.
bool SearchRuntime(Launcher& launcher);

// The text that tells the user no runtime qualified: message 206 when a server
// VM is required, else 207, with the version requirement and the address
// where a runtime can be downloaded.
std::wstring MissingRuntimeMessage(const LaunchSettings& settings);

// Writes that text as an error line.
void ReportMissingRuntime(const Launcher& launcher);

}  // namespace korvan
