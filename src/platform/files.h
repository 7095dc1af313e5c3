#pragma once
// File-system facts the launcher relies on, named after what it asks.

#include <string>

namespace korvan::platform {

// Windows: FindFirstFileW succeeds on the path. A folder counts as existing.
bool PathExists(const std::wstring& path);

// One folder level, for this user's own files (Linux: mode 0700, as the XDG
// base directory rules ask); false when it could not be made (it may exist already).
bool MakeDirectory(const std::wstring& path);

// The path of an existing file as the file system holds it, so that every
// spelling of one file gives one text: Windows the long form of every
// component in its stored case (GetFinalPathNameByHandleW, without the
// "\\?\" prefix); POSIX realpath. `path` itself when it cannot be resolved.
std::wstring CanonicalPath(const std::wstring& path);

}  // namespace korvan::platform
