#pragma once
// The single-instance guard: whether a run takes part, under which name, and
// what a first and a second instance do with the channel between them.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "messages/failure.h"
#include "platform/instance_channel.h"
#include "settings/settings_source.h"

namespace korvan {

// The guard is on only for "Single Instance" exactly "yes", and never for a
// service ("Application Type" exactly "service").
bool SingleInstanceWanted(const std::wstring& application_type,
                          const std::wstring& single_instance);

// The name of the rendezvous, from the launcher's canonical path: that path
// with every backslash turned into "_" (kernel object names may hold none),
// so copies of the launcher in different folders never meet. A path too long
// for the names made from it (a registered message takes 255 characters, an
// object name with its suffix 260) is named by its digest instead, taken
// without regard to case.
std::wstring InstanceName(const std::wstring& launcher_path);

// The longest instance name that is the path itself.
constexpr std::size_t kLongestPlainInstanceName = 240;

// The guard of a run, as `Initialize` sets it up from the settings file.
// Nothing when the guard is off (not asked for, a service, the rendezvous
// could not be set up, or it is held by a process that is not this launcher
// run by this user). A second instance has already handed `arguments`
// over; a failure means it could not, and the run ends with -1 and no message.
Expected<std::unique_ptr<platform::InstanceChannel>> OpenInstanceGuard(
    const SettingsSource& source, const std::vector<std::wstring>& arguments,
    platform::InstanceRequestHandler handler);

}  // namespace korvan
