#pragma once
// A service's stop: the main class's static "stop" method with signature
// "()V", called from a thread of its own while main runs.

#include <string>

#include "jvm/vm_session.h"

namespace korvan {

enum class StopCallResult { Called, NoVm, ClassNotFound, NoStopMethod };

// Attaches the calling thread to the session's VM, calls `main_class`.stop()
// and waits for it to return; a pending exception is described and the
// thread detaches again.
StopCallResult CallStaticStop(const VmSession& session, const std::wstring& main_class);

}  // namespace korvan
