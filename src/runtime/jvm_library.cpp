#include "runtime/jvm_library.h"

#include "platform/files.h"
#include "platform/runtime_files.h"

namespace korvan {

std::optional<JvmLibrary> SelectJvmLibrary(const std::wstring& folder, JvmKind kind,
                                           const RuntimeFiles& files) {
  const auto library_at = [&](const platform::JvmLibraryPlace& place) -> std::optional<JvmLibrary> {
    const std::wstring path = folder + place.sub_path;
    if (!files.exists(path)) return std::nullopt;
    return JvmLibrary{path, place.server};
  };

  if (kind != JvmKind::Any) {
    for (const platform::JvmLibraryPlace& place : files.layout.jvm_libraries) {
      if (!place.server) continue;
      if (auto library = library_at(place)) return library;
    }
    if (kind == JvmKind::Server) return std::nullopt;
  }
  for (const platform::JvmLibraryPlace& place : files.layout.jvm_libraries) {
    if (auto library = library_at(place)) return library;
  }
  return std::nullopt;
}

RuntimeFiles SystemRuntimeFiles() {
  return RuntimeFiles{platform::GetRuntimeLayout(), platform::PathExists,
                      platform::ReadReleaseVersion, platform::ForeignLibraryMachine};
}

std::wstring WithTrailingSeparator(const std::wstring& folder, wchar_t separator) {
  if (!folder.empty() && folder.back() == separator) return folder;
  return folder + separator;
}

}  // namespace korvan
