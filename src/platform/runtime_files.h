#pragma once
// What the runtime search reads from a runtime's own files: the version its
// "release" file states, and whether its JVM library can load into this
// process at all.

#include <optional>
#include <string>

namespace korvan::platform {

// JAVA_VERSION of the "release" file in `runtime_folder` (which ends with the
// separator); empty when there is no such file or line.
std::wstring ReadReleaseVersion(const std::wstring& runtime_folder);

// The machine the library at `path` is built for, when that is not this
// process's machine; nothing when it is, or when its header cannot be read.
std::optional<std::wstring> ForeignLibraryMachine(const std::wstring& path);

// At most `limit` bytes from the start of a regular file; nothing when it
// cannot be opened or read.
std::optional<std::string> ReadFileHead(const std::wstring& path, std::size_t limit);

}  // namespace korvan::platform
