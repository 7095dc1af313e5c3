#pragma once
// Running work on a thread of its own, with a chosen stack size, and waiting for it.

#include <cstdint>

namespace korvan::platform {

using ThreadWork = int (*)(void* context);

// Runs `work(context)` on a new thread whose stack holds `stack_size` bytes
// (0: the system's default), waits for it without a time-out and stores its
// result in `exit_code`. False when the thread could not be created; the work
// has then not run.
bool RunOnNewThread(ThreadWork work, void* context, std::uint64_t stack_size, int& exit_code);

}  // namespace korvan::platform
