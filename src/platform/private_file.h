#pragma once
// A secret handed to another program in a file: in a folder of its own that
// only this user can enter, in a file that only this user can read, made new
// so that nothing planted at its name (a file, a link) is ever written to.

#include <string>

namespace korvan::platform {

// Makes a new folder in `parent` with a unique name starting with `prefix`
// (Linux: mkdtemp, mode 0700; Windows: the parent's inherited access). Empty
// when it cannot be made.
std::wstring MakePrivateFolder(const std::wstring& parent, const std::wstring& prefix);

// Writes `bytes` to a new file at `path` (Linux: O_CREAT | O_EXCL |
// O_NOFOLLOW, mode 0600 from the start). False when anything is there
// already or the bytes cannot be written.
bool WriteNewPrivateFile(const std::wstring& path, const std::string& bytes);

}  // namespace korvan::platform
