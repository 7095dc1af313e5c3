#include "platform/service_exit_codes.h"

namespace korvan::platform {

namespace {
constexpr std::uint32_t kServiceSpecificError = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR
constexpr std::uint32_t kFailedRun = 1;
}  // namespace

ServiceExitCodes StoppedExitCodes(int run_exit_code) {
  if (run_exit_code == 0) return {0, 0};
  return {kServiceSpecificError, kFailedRun};
}

}  // namespace korvan::platform
