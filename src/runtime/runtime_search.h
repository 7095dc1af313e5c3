#pragma once
// Where the JVM library comes from: the configured runtime folder, the runtime
// beside the launcher, then the registered runtimes.

#include <optional>
#include <string>

#include "platform/runtime_registry.h"
#include "runtime/java_version.h"
#include "runtime/jvm_library.h"
#include "settings/launch_settings.h"

namespace korvan {

// What the search reads of the system.
struct RuntimeSearchSystem {
  RuntimeFiles files;
  std::wstring launcher_folder;  // ends with the separator; empty when unknown
  platform::RuntimeRegistry& registry;
};

struct RuntimeSearchResult {
  std::wstring jvm_library_path;              // empty when no place qualified
  std::optional<JavaVersion> found_version;   // set when a registered runtime was chosen
};

// The three places in order; the first that yields a JVM library wins.
RuntimeSearchResult FindJvmLibrary(const LaunchSettings& settings, RuntimeSearchSystem& system);

// Finds the JVM library for the settings on this system, for the launcher in
// `launcher_folder`; nothing when no place qualified.
std::optional<RuntimeSearchResult> SearchRuntime(const LaunchSettings& settings,
                                                 const std::wstring& launcher_folder);

// Message 206 when a server VM is required, else 207, with the version
// requirement: the missing-runtime dialog shows the address as its link.
std::wstring MissingRuntimeText(const LaunchSettings& settings);

// The text that tells the user no runtime qualified: message 206 when a server
// VM is required, else 207, with the version requirement and the address
// where a runtime can be downloaded.
std::wstring MissingRuntimeMessage(const LaunchSettings& settings);

}  // namespace korvan
