#include "jvm/vm_thread.h"

#include "jvm/main_invocation.h"
#include "jvm/vm_creation.h"
#include "launcher/launcher.h"
#include "messages/trace.h"
#include "platform/thread.h"

namespace korvan {

int RunVmThread(Launcher& launcher) {
  if (launcher.vm_thread_stack_size == 0) {
    launcher.vm_thread_stack_size = DefaultJavaStackSize(launcher);
    Trace(L"VM thread stack size, the JVM library's default: " +
          std::to_wstring(launcher.vm_thread_stack_size));
  }
  int exit_code = 1;
  if (platform::RunOnNewThread(RunVmWork, &launcher, launcher.vm_thread_stack_size, exit_code)) {
    return exit_code;
  }
  Trace(L"the VM thread could not be started: the VM runs on the launcher's own thread");
  return RunVmWork(&launcher);
}

}  // namespace korvan
