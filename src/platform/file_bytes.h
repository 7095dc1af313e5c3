#pragma once
// Whole files as byte strings, for the tools.

#include <cstdint>
#include <optional>
#include <string>

namespace korvan::platform {

// False when the file cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

// The size of a regular file in bytes; nothing when it cannot be opened.
std::optional<std::uint64_t> FileByteCount(const std::wstring& path);

// `count` bytes from `offset` on; false when the file cannot be read that far.
// For a few pieces of a large file (a jar's directory and manifest).
bool ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t count,
                   std::string& bytes);

// Creates the file or replaces its content, keeping its permissions.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Copies `from` over `to`, permissions included (an executable stays one).
bool CopyFileReplacing(const std::wstring& from, const std::wstring& to);

}  // namespace korvan::platform
