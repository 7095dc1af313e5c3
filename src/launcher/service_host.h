#pragma once

#include <string>

namespace korvan {

struct Launcher;

// Runs the application as a service of the system's service manager (the
// Windows Service Control Manager; a foreground service on Linux); returns
// the process exit code.
int RunAsService(Launcher& launcher);

// A service has no console: its error lines also go to the trace file when
// one is set. RunAsService does this itself; the entry calls it for a
// service whose start-up failed.
void UseServiceErrorSink();

// The service name: the launcher's file name with its extension, the text
// after the last `separator` (the whole path when it has none).
std::wstring ServiceNameOf(const std::wstring& launcher_path, wchar_t separator);

}  // namespace korvan
