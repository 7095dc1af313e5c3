#pragma once
// Appending lines to a log file that several threads, and the VM, may write
// to at once: each call is one append of whole bytes.

#include <string>

namespace korvan::platform {

// Creates the file when missing, readable by its owner only (Linux: mode
// 0600; Windows: the folder's inherited access); false when it cannot be
// opened or written, or when the name is a symbolic link (Linux).
bool AppendToFile(const std::wstring& path, const std::string& bytes);

}  // namespace korvan::platform
