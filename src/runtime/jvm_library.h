#pragma once
// Which JVM library of a runtime folder the launcher loads, for a JVM kind.

#include <functional>
#include <optional>
#include <string>

#include "platform/runtime_layout.h"
#include "settings/launch_settings.h"

namespace korvan {

struct JvmLibrary {
  std::wstring path;    // the folder followed by the library's sub-path
  bool server = false;  // a server VM
};

// True when a file or folder of that path exists.
using ExistenceTest = std::function<bool(const std::wstring& path)>;

// JAVA_VERSION of a runtime folder's "release" file; empty when it has none.
using ReleaseVersionReader = std::function<std::wstring(const std::wstring& folder)>;

// The machine a JVM library is built for, when it cannot load into this
// process; nothing when it can or when that cannot be told.
using ForeignMachineTest = std::function<std::optional<std::wstring>(const std::wstring& library)>;

// The runtime folders of one system, as the search sees them. Without a
// release reader no version comes from files; without a machine test every
// library counts as loadable.
struct RuntimeFiles {
  const platform::RuntimeLayout& layout;
  ExistenceTest exists;
  ReleaseVersionReader release_version = nullptr;
  ForeignMachineTest foreign_machine = nullptr;
};

// The first library of the layout that exists in `folder` (which ends with the
// separator). Any kind takes the layout's order; "favor_server" tries the
// server libraries first; "server" accepts nothing else. Nothing when the
// folder holds no acceptable library.
std::optional<JvmLibrary> SelectJvmLibrary(const std::wstring& folder, JvmKind kind,
                                           const RuntimeFiles& files);

// This system's layout and existence test.
RuntimeFiles SystemRuntimeFiles();

// `folder` with the separator appended when it does not end with one.
std::wstring WithTrailingSeparator(const std::wstring& folder, wchar_t separator);

}  // namespace korvan
