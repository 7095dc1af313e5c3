#pragma once
// The Service Control Manager rules of a service, free of system calls: what
// a control asks for, and what a stopped service tells about its run.

#include <cstdint>

namespace korvan::platform {

struct ServiceExitCodes {
  std::uint32_t win32_exit_code;     // 0, or ERROR_SERVICE_SPECIFIC_ERROR (1066)
  std::uint32_t service_exit_code;   // the service's own code when the above is 1066
};

// A run that ended with main returning normally stopped cleanly; any other
// run failed, and says so with the service-specific code 1 (the VM thread's
// failure code), so that the manager's recovery actions apply.
ServiceExitCodes StoppedExitCodes(int run_exit_code);

// An application that ended the process itself (System.exit) stopped cleanly
// with 0; any other code is its service-specific error.
ServiceExitCodes ExitedExitCodes(int system_exit_code);

enum class ControlAction {
  StopPending,  // report STOP_PENDING (wait hint 3000 ms), then ask for the stop
  Rereport,     // report the current status unchanged
  None,         // the service has stopped: nothing is left to report
};

// STOP (1), SHUTDOWN (5) and PRESHUTDOWN (15) alike stop the service; any
// other control only re-reports the status.
ControlAction ActionForControl(std::uint32_t control, bool stopped);

constexpr std::uint32_t kStopWaitHintMs = 3000;
// How often STOP_PENDING is reported again, with the next check point, while
// the application stops: well inside the wait hint.
constexpr std::uint32_t kStopProgressIntervalMs = 1000;

}  // namespace korvan::platform
