#pragma once
// Editing the embedded settings resource of a Windows executable, for the
// stamping tool (tools/stamp). Only Windows can do this; elsewhere every
// operation fails.

#include <string>

namespace korvan::platform {

// True where Windows executables' resources can be written and read.
bool CanEditExecutableResources();

// Replaces (or, with `bytes` null, removes) the RT_RCDATA resource 8000 of
// `executable`: BeginUpdateResourceW, UpdateResourceW, EndUpdateResourceW.
bool WriteSettingsResource(const std::wstring& executable, const std::string* bytes);

// The RT_RCDATA resource 8000 of `executable`, loaded as a data file.
bool ReadSettingsResource(const std::wstring& executable, std::string& bytes);

}  // namespace korvan::platform
