#pragma once
// Ending the application as System.exit does: the shutdown hooks run (the
// frameworks' graceful shutdown), then the VM ends the process.

#include "jvm/vm_session.h"

namespace korvan {

// Calls java.lang.System.exit(`code`) on the calling thread, attached to the
// session's VM as a daemon. Returns only when that could not be done (no VM,
// or the call failed); the failure is described on standard error.
void CallSystemExit(const VmSession& session, int code);

}  // namespace korvan
