#pragma once
// File-system facts the launcher relies on, named after what it asks.

#include <string>

namespace korvan::platform {

// Windows: FindFirstFileW succeeds on the path. A folder counts as existing.
bool PathExists(const std::wstring& path);

// One folder level; false when it could not be made (it may exist already).
bool MakeDirectory(const std::wstring& path);

}  // namespace korvan::platform
