#pragma once
// The first instance's side of a hand-over: the main class's static
// secondaryMain receives the second instance's arguments.

#include <string>

#include "jvm/vm_session.h"
#include "platform/instance_channel.h"

namespace korvan {

// Serves `request` in `session`'s VM on the calling thread, attached only for
// the call. The int-returning secondaryMain replies with its result once it
// returns; the void one is answered 0 before it runs. Without a VM, class,
// method or readable argument area there is no reply: the second instance
// then waits for this process to end. A pending exception is described.
void ServeSecondaryRequest(platform::InstanceRequest& request, const VmSession* session,
                           const std::wstring& main_class);

}  // namespace korvan
