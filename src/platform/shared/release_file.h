#pragma once
// The "release" file of a Java runtime: KEY="value" lines, one of them
// JAVA_VERSION, written by every JDK build since 9 (and by many of 8).

#include <string>

namespace korvan::platform {

// Real "release" files are about a kilobyte; more than this is not one.
constexpr std::size_t kReleaseFileLimit = 64 * 1024;

// JAVA_VERSION of a "release" file's text, its quotes removed; empty when the
// text has none.
std::wstring ReleaseFileVersion(const std::string& text);

}  // namespace korvan::platform
