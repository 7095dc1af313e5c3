#include "jvm/vm_thread.h"

#include <cstdint>

#include "jvm/main_invocation.h"
#include "jvm/vm_creation.h"
#include "launcher/launcher.h"
#include "messages/trace.h"
#include "platform/thread.h"

namespace korvan {

namespace {

// Creating the VM takes native stack of its own before the VM gets to refuse
// a "-Xss" below its minimum (about 136 KiB); on a smaller thread it would
// crash instead. Sizes the VM accepts are all above this.
constexpr std::uint64_t kSmallestVmThreadStack = 128 * 1024;

}  // namespace

int RunVmThread(Launcher& launcher) {
  if (launcher.vm_thread_stack_size == 0) {
    launcher.vm_thread_stack_size = DefaultJavaStackSize(launcher);
    Trace(L"VM thread stack size, the JVM library's default: " +
          std::to_wstring(launcher.vm_thread_stack_size));
  }
  std::uint64_t stack_size = launcher.vm_thread_stack_size;
  if (stack_size != 0 && stack_size < kSmallestVmThreadStack) stack_size = kSmallestVmThreadStack;
  int exit_code = 1;
  if (platform::RunOnNewThread(RunVmWork, &launcher, stack_size, exit_code)) {
    return exit_code;
  }
  Trace(L"the VM thread could not be started: the VM runs on the launcher's own thread");
  return RunVmWork(&launcher);
}

}  // namespace korvan
