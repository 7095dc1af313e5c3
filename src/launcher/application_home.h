#pragma once
// KORVAN_APP_HOME: the launcher's own folder, published before any setting is
// expanded, so that settings can name the application's files as
// %KORVAN_APP_HOME%/lib/x.jar wherever the user starts it from.

#include <string>

namespace korvan {

// The folder of `launcher_path` without its final separator; the root keeps
// its separator ("/" stays "/"), and a path without a folder gives "".
std::wstring ApplicationHomeOf(const std::wstring& launcher_path, wchar_t separator);

// Sets KORVAN_APP_HOME in the launcher's own environment.
void PublishApplicationHome(const std::wstring& launcher_path);

}  // namespace korvan
