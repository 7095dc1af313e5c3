#pragma once
// The VM thread: it creates the VM, points its streams at files and runs main.

#include "jvm/main_invocation.h"
#include "jvm/vm_options.h"
#include "jvm/vm_session.h"
#include "messages/failure.h"

namespace korvan {

// Runs the application in `session` on a thread of its own, sized for Java
// (the plan's stack size, else the library's default), and waits for it
// without a time-out. No failure when main ran and returned normally.
Outcome RunVmThread(VmSession& session, const VmPlan& plan, const MainCall& call,
                    const ReadyCallback& on_ready);

}  // namespace korvan
