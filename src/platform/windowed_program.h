#pragma once
// The windowed form of the launcher (Windows GUI subsystem, as javaw.exe):
// no console, so failures are also shown in a message box. The form is read
// from the program's own image, so a copy whose subsystem was changed after
// the build behaves as the form it now has.

#include <string>

namespace korvan::platform {

// True for a program built or stamped for the GUI subsystem; false for a
// console program and everywhere outside Windows.
bool RunsWindowed();

// A windowed program started with inherited standard handles (redirected
// from a console) writes to them: the C run-time's streams are attached
// to the handles that the process was given.
void ConnectInheritedStandardStreams();

// A modal error box with `title` and `text`, waiting for OK.
void ShowErrorBox(const std::wstring& title, const std::wstring& text);

}  // namespace korvan::platform
