#pragma once
// Whole files as byte strings, for the tools.

#include <string>

namespace korvan::platform {

// False when the file cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

// Creates the file or replaces its content, keeping its permissions.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Copies `from` over `to`, permissions included (an executable stays one).
bool CopyFileReplacing(const std::wstring& from, const std::wstring& to);

}  // namespace korvan::platform
