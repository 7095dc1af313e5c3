#pragma once
// What a stopped service tells its manager about how the run went.

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

}  // namespace korvan::platform
