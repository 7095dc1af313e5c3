#pragma once
// The application can run on after main returned, on threads of its own.
// DestroyJavaVM waits for them too, but once it runs, no thread may attach
// any more; a first instance of the single-instance guard waits for them
// here first, so that it serves later starts for as long as the application runs.

#include "jvm/vm_session.h"

namespace korvan {

// Returns once no live non-daemon thread is left in the session's VM but the
// calling one (attached as a daemon for the wait). A VM that cannot be asked (no VM, or a
// call that fails) ends the wait at once; DestroyJavaVM still waits then.
void WaitForApplicationThreads(const VmSession& session);

// True when a live non-daemon thread other than the calling one is left in
// the session's VM; false also when the VM cannot be asked.
bool ApplicationThreadsLeft(const VmSession& session);

}  // namespace korvan
