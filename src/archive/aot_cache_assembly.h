#pragma once
// The assembly of an AOT cache, after the run that recorded its configuration
// has ended: the launcher starts its own executable again, detached, with
// kAotAssemblyVariable naming the cache's base; that process runs the
// runtime's java command with -XX:AOTMode=create into a part file and seals
// the cache only when java succeeded. The user waits for none of it, and none
// of it reaches the user's console.

#include <optional>
#include <string>
#include <vector>

namespace korvan {

inline constexpr wchar_t kAotAssemblyVariable[] = L"KORVAN_AOT_ASSEMBLY";

// Starts the assembly of the cache at `base` with `java`; false when the
// process could not be started (the configuration then waits for the next
// recording run).
bool StartAotAssembly(const std::wstring& java, const std::wstring& base);

// In a process started by StartAotAssembly (`arguments`: the java command),
// assembles the cache and returns the process's exit code; nothing in a
// launcher's ordinary start.
std::optional<int> AssembleAotCacheWhenAsked(const std::vector<std::wstring>& arguments);

}  // namespace korvan
