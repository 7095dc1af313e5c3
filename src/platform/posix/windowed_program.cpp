// A Linux desktop entry starts the same launcher with Terminal=false: there
// is no windowed form, and errors stay on standard error.
#include "platform/windowed_program.h"

namespace korvan::platform {

bool RunsWindowed() { return false; }

void ConnectInheritedStandardStreams() {}

void ShowErrorBox(const std::wstring&, const std::wstring&) {}

}  // namespace korvan::platform
