#pragma once
// Processes that the launcher starts beside the application: the assembly of
// an AOT cache after the application has ended. Such a process must neither
// hold up the user nor write on the user's console, and must outlive the
// launcher.

#include <optional>
#include <string>
#include <vector>

namespace korvan::platform {

// Starts `program` with `arguments` (paths, which hold no double quote) as a
// process that outlives this one: in a session of its own (Windows: with a
// console of its own that has no window), at the lowest priority, with its
// standard streams on the null device, holding no file or handle of ours, and
// with `variable` set to `value` in its environment only. POSIX: started
// through an intermediate process that is reaped here, so no zombie is left.
// False when it could not be started.
bool StartDetachedProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                          const std::wstring& variable, const std::wstring& value);

// Runs `program` with `arguments` (paths, as above), with this process's
// standard streams and priority, and waits for it; one that runs longer than
// `limit_seconds` is ended. Its exit code; nothing when it could not be
// started, did not exit by itself, or was ended.
std::optional<int> RunProcessToEnd(const std::wstring& program,
                                   const std::vector<std::wstring>& arguments,
                                   unsigned limit_seconds);

}  // namespace korvan::platform
