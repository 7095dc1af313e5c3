#pragma once
// Where an administrator looks for why a service failed. Windows: the
// Application event log, under the service's name as the event source. Linux:
// nothing more is needed, the journal keeps the service's standard error.

#include <string>

namespace korvan::platform {

// Logs `line` as an error event from `source`. False when it could not be
// logged (see LastErrorCode); true also where no such log is needed.
bool WriteToSystemLog(const std::wstring& source, const std::wstring& line);

}  // namespace korvan::platform
