#pragma once
// The entry's part for the windowed launcher (a GUI-subsystem program, as
// javaw.exe is): it has no console of its own, so every failure is also
// shown in a box titled with the application's name.

#include <string>

namespace korvan {

// The application's name as a user knows it: the launcher's file name
// without folder and extension ("C:\\App\\Editor.exe" is "Editor").
std::wstring ApplicationNameOf(const std::wstring& launcher_path, wchar_t separator);

// In the windowed launcher: standard streams on inherited handles, and the
// error-box sink. Nothing in the console launcher.
void PrepareWindowedStart();

}  // namespace korvan
