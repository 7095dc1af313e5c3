#include "platform/shared/service_rules.h"

namespace korvan::platform {

namespace {
constexpr std::uint32_t kServiceSpecificError = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR
constexpr std::uint32_t kFailedRun = 1;
constexpr std::uint32_t kControlStop = 1;      // SERVICE_CONTROL_STOP
constexpr std::uint32_t kControlShutdown = 5;  // SERVICE_CONTROL_SHUTDOWN
constexpr std::uint32_t kControlPreshutdown = 15;  // SERVICE_CONTROL_PRESHUTDOWN
}  // namespace

ServiceExitCodes StoppedExitCodes(int run_exit_code) {
  if (run_exit_code == 0) return {0, 0};
  return {kServiceSpecificError, kFailedRun};
}

ServiceExitCodes ExitedExitCodes(int system_exit_code) {
  if (system_exit_code == 0) return {0, 0};
  return {kServiceSpecificError, static_cast<std::uint32_t>(system_exit_code)};
}

ControlAction ActionForControl(std::uint32_t control, bool stopped) {
  if (stopped) return ControlAction::None;
  if (control == kControlStop || control == kControlShutdown || control == kControlPreshutdown) {
    return ControlAction::StopPending;
  }
  return ControlAction::Rereport;
}

}  // namespace korvan::platform
