#pragma once
// Running work on a thread of its own, with a chosen stack size, and waiting for it.

#include <cstdint>
#include <optional>

namespace korvan::platform {

using ThreadWork = int (*)(void* context);

// Runs `work(context)` on a new thread whose stack holds `stack_size` bytes
// (0: the system's default), waits for it without a time-out and returns its
// result. Nothing when the thread could not be created; the work has then not run.
std::optional<int> RunOnNewThread(ThreadWork work, void* context, std::uint64_t stack_size);

}  // namespace korvan::platform
