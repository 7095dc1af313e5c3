#include "runtime/runtime_search.h"

#include "messages/messages.h"
#include "messages/trace.h"
#include "runtime/registered_runtimes.h"

namespace korvan {

namespace {

// Where the missing-runtime message sends the user for a runtime.
constexpr const wchar_t* kRuntimeDownloadAddress = L"https://adoptium.net/";

std::optional<JvmLibrary> FromConfiguredFolder(const LaunchSettings& settings,
                                               const RuntimeFiles& files) {
  if (settings.configured_runtime_folder.empty()) return std::nullopt;
  const std::wstring folder =
      WithTrailingSeparator(settings.configured_runtime_folder, files.layout.separator);
  Trace(L"runtime: trying \"JRE Path\" " + folder);
  std::optional<JvmLibrary> library = SelectJvmLibrary(folder, settings.jvm_kind, files);
  if (!library) Trace(L"runtime: no JVM library in " + folder);
  return library;
}

// A runtime shipped with the application sits in the launcher's folder or in
// its bundled-runtime subfolder, and counts only when it holds the marker file.
std::optional<JvmLibrary> FromLauncherFolder(const LaunchSettings& settings,
                                             RuntimeSearchSystem& system) {
  const std::wstring& launcher_folder = system.launcher_folder;
  if (launcher_folder.empty()) return std::nullopt;
  const RuntimeFiles& files = system.files;
  std::wstring folder;
  if (files.exists(launcher_folder + files.layout.marker_file)) {
    folder = launcher_folder;
  } else if (files.exists(launcher_folder + files.layout.bundled_runtime_folder +
                          files.layout.marker_file)) {
    folder = launcher_folder + files.layout.bundled_runtime_folder;
  } else {
    // Never fall back to paths relative to the current folder: whoever
    // controls that folder would choose the library the launcher loads.
    Trace(L"runtime: no runtime beside the launcher in " + launcher_folder);
    return std::nullopt;
  }
  Trace(L"runtime: trying the runtime beside the launcher " + folder);
  std::optional<JvmLibrary> library = SelectJvmLibrary(folder, settings.jvm_kind, files);
  if (!library) Trace(L"runtime: no JVM library in " + folder);
  return library;
}

}  // namespace

RuntimeSearchResult FindJvmLibrary(const LaunchSettings& settings, RuntimeSearchSystem& system) {
  RuntimeSearchResult result;
  if (auto library = FromConfiguredFolder(settings, system.files)) {
    result.jvm_library_path = library->path;
    return result;
  }
  if (auto library = FromLauncherFolder(settings, system)) {
    result.jvm_library_path = library->path;
    return result;
  }
  const std::optional<RuntimeCandidate> chosen =
      SearchRegisteredRuntimes(settings, system.registry, system.files);
  if (!chosen) return result;
  // The chosen home is searched with the JVM kind as configured, also for the
  // runtime family that was ranked as if any kind would do.
  if (auto library = SelectJvmLibrary(chosen->home, settings.jvm_kind, system.files)) {
    result.jvm_library_path = library->path;
    result.found_version = chosen->version;
  }
  return result;
}

std::optional<RuntimeSearchResult> SearchRuntime(const LaunchSettings& settings,
                                                 const std::wstring& launcher_folder) {
  std::unique_ptr<platform::RuntimeRegistry> registry = platform::OpenRuntimeRegistry();
  RuntimeSearchSystem system{SystemRuntimeFiles(), launcher_folder, *registry};
  RuntimeSearchResult result = FindJvmLibrary(settings, system);
  if (result.jvm_library_path.empty()) {
    Trace(L"runtime: no runtime found");
    return std::nullopt;
  }
  return result;
}

std::wstring MissingRuntimeText(const LaunchSettings& settings) {
  const MessageId id =
      settings.jvm_kind == JvmKind::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  return FormatMessageById(id, {RequirementPhrase(settings.minimum_version, settings.maximum_version)});
}

std::wstring MissingRuntimeMessage(const LaunchSettings& settings) {
  return MissingRuntimeText(settings) + L" " + kRuntimeDownloadAddress;
}

}  // namespace korvan
