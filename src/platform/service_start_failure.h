#pragma once
// A service whose start-up failed (settings, runtime) still owes the service
// manager an answer: without one the Windows Service Control Manager waits
// 30 s and reports only "did not respond to the start request" (error 1053).

#include <string>

namespace korvan::platform {

// Whether the service manager started this process: on Windows its parent
// is services.exe, which also holds for a service whose settings are
// missing; never on Linux, where a service runs as a foreground process.
bool StartedByServiceManager();

// Connects to the service manager only to report the service stopped with
// ERROR_SERVICE_SPECIFIC_ERROR and its own code 1; returns the process
// exit code, -1.
int ReportFailedServiceStart(const std::wstring& service_name);

}  // namespace korvan::platform
