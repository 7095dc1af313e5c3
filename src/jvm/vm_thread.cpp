#include "jvm/vm_thread.h"

#include <cstdint>

#include "jvm/java_launcher_displays.h"
#include "jvm/vm_creation.h"
#include "messages/trace.h"
#include "platform/thread.h"

namespace korvan {

namespace {

// Creating the VM takes native stack of its own before the VM gets to refuse
// a "-Xss" below its minimum (about 136 KiB); on a smaller thread it would
// crash instead. Sizes the VM accepts are all above this.
constexpr std::uint64_t kSmallestVmThreadStack = 128 * 1024;

// What the VM thread is handed, and what it leaves behind.
struct VmThreadWork {
  VmSession& session;
  const VmPlan& plan;
  const MainCall& call;
  const ReadyCallback& on_ready;
  Outcome outcome;
};

int RunVmWork(void* context) {
  auto& work = *static_cast<VmThreadWork*>(context);
  Expected<JNIEnv*> env = work.session.Create(work.plan.options, work.plan.exit_hook, work.plan.keep_vm_text);
  if (!env) {
    work.outcome = env.failure();
  } else {
    RedirectStandardStreams(*env, work.plan.output_file, work.plan.error_file);
    ShowJavaLauncherDisplays(*env, work.plan.requests, work.plan.thread_stack_size);
    if (work.plan.requests.version_only) {
      // As java -version: the version, and no application.
      Trace(L"-version given: main is not called");
      work.session.vm()->DetachCurrentThread();
    } else {
      work.outcome = InvokeMain(*env, work.session.vm(), work.call, work.on_ready);
    }
  }
  return work.outcome ? 1 : 0;
}

}  // namespace

Outcome RunVmThread(VmSession& session, const VmPlan& plan, const MainCall& call,
                    const ReadyCallback& on_ready) {
  std::uint64_t stack_size = plan.thread_stack_size;
  if (stack_size == 0) {
    stack_size = session.DefaultJavaStackSize();
    Trace(L"VM thread stack size, the JVM library's default: " + std::to_wstring(stack_size));
  }
  if (stack_size != 0 && stack_size < kSmallestVmThreadStack) stack_size = kSmallestVmThreadStack;

  VmThreadWork work{session, plan, call, on_ready, std::nullopt};
  if (!platform::RunOnNewThread(RunVmWork, &work, stack_size)) {
    Trace(L"the VM thread could not be started: the VM runs on the launcher's own thread");
    RunVmWork(&work);
  }
  return work.outcome;
}

}  // namespace korvan
