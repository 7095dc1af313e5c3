#pragma once

#include <string>

#include "messages/failure.h"

namespace korvan {

struct Launcher;

// Runs the application as a service of the system's service manager (the
// Windows Service Control Manager; a foreground service on Linux); returns
// the process exit code. A service has no console: its error lines also go
// to the system's log under the service's name, and to the trace file when
// one is set.
int RunAsService(Launcher& launcher);

// Reports a failed start-up; returns the process exit code. A service that
// the service manager started still tells it, at once, that it stopped with
// a service-specific error, and its line goes to the system's log.
int EndFailedStartUp(const Launcher& launcher, const Failure& failure);

// The service name: the launcher's file name with its extension, the text
// after the last `separator` (the whole path when it has none).
std::wstring ServiceNameOf(const std::wstring& launcher_path, wchar_t separator);

}  // namespace korvan
