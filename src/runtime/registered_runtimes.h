#pragma once
// The registered-runtime place of the runtime search: the registrations of the
// families the settings allow, filtered by the version limits and by the
// presence of a JVM library, ranked by the settings' preferences and chosen
// by the preferred versions.

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_registry.h"
#include "runtime/java_version.h"
#include "runtime/jvm_library.h"
#include "settings/launch_settings.h"

namespace korvan {

struct RuntimeCandidate {
  std::wstring name;     // the registration, for the trace
  JavaVersion version;
  std::wstring home;     // ends with the separator
  bool server = false;   // its JVM library (chosen while filtering) is a server VM
  bool favoured = false; // its kind is wanted and its provider favoured
  platform::RuntimeStanding standing = platform::RuntimeStanding::Registered;
};

// The families in the order they are searched: the four classic ones, then
// those of newer runtimes, and last the runtime that JAVA_HOME names.
const std::vector<platform::RuntimeFamily>& RuntimeFamilies();

// Whether the settings let the search read this family at all.
bool IsFamilySearched(const platform::RuntimeFamily& family, const LaunchSettings& settings);

// Whether a runtime of this family is favoured by the settings.
bool IsFamilyFavoured(const platform::RuntimeFamily& family, const LaunchSettings& settings);

// Every registration of the searched families that is within the limits and
// holds an acceptable JVM library of this process's machine, in family order,
// then registry order; a runtime registered twice counts once. The JAVA_HOME
// families are read only when no other registration qualified.
std::vector<RuntimeCandidate> CollectCandidates(const LaunchSettings& settings,
                                                platform::RuntimeRegistry& registry,
                                                const RuntimeFiles& files);

// The runtimes of JAVA_HOME and of the system's "java" command first (where
// the system marks them), then favoured first (only when both kinds are
// acceptable), then server VMs first (only for "favor_server"), then newest
// first; ties keep their order.
void RankCandidates(std::vector<RuntimeCandidate>& candidates, const LaunchSettings& settings);

// The index of the first ranked candidate that matches the first preferred
// version matching any; the first candidate when none does. `ranked` is not empty.
std::size_t ChooseCandidate(const std::vector<RuntimeCandidate>& ranked,
                            const std::vector<std::wstring>& preferred_versions);

// Collect, rank and choose; nothing when no registration qualifies.
std::optional<RuntimeCandidate> SearchRegisteredRuntimes(const LaunchSettings& settings,
                                                         platform::RuntimeRegistry& registry,
                                                         const RuntimeFiles& files);

}  // namespace korvan
