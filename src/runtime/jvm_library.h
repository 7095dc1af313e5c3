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

// The runtime folders of one system, as the search sees them.
struct RuntimeFiles {
  const platform::RuntimeLayout& layout;
  ExistenceTest exists;
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
