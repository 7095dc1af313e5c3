#include "platform/service_start_failure.h"

namespace korvan::platform {

bool StartedByServiceManager() { return false; }

// The service manager sees the exit code; nothing else is owed.
int ReportFailedServiceStart(const std::wstring&) { return -1; }

}  // namespace korvan::platform
