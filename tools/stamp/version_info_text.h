#pragma once
// Version information as the user gives it: KEY=VALUE on the command line,
// or the lines of a small text file (UTF-8, or UTF-16 LE with its byte-order
// mark; blank lines and lines starting with "#" or ";" are skipped).

#include <map>
#include <string>
#include <string_view>

namespace korvan::stamp {

using VersionStrings = std::map<std::u16string, std::u16string>;

std::u16string Utf16Text(const std::wstring& text);

// True when `argument` is KEY=VALUE with KEY a version information key.
bool IsVersionPair(const std::wstring& argument);

// Adds one KEY=VALUE (later values replace earlier ones); false, with a
// message, when there is no "=" or the key is unknown.
bool AddVersionPair(std::u16string_view pair, VersionStrings& strings, std::string& error);

// Adds every KEY=VALUE line of a text file's bytes.
bool AddVersionLines(const std::string& file, VersionStrings& strings, std::string& error);

}  // namespace korvan::stamp
