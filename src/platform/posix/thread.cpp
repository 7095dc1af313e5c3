#include "platform/thread.h"

#include <pthread.h>
#include <unistd.h>

#include <climits>

namespace korvan::platform {

namespace {

struct ThreadCall {
  ThreadWork work;
  void* context;
  int result;
};

void* ThreadMain(void* argument) {
  auto* call = static_cast<ThreadCall*>(argument);
  call->result = call->work(call->context);
  return nullptr;
}

// pthreads want at least PTHREAD_STACK_MIN bytes, in whole pages.
std::uint64_t UsableStackSize(std::uint64_t requested) {
  const std::uint64_t page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  const std::uint64_t minimum = static_cast<std::uint64_t>(PTHREAD_STACK_MIN);
  std::uint64_t size = requested < minimum ? minimum : requested;
  if (size % page != 0 && size <= UINT64_MAX - page) size += page - size % page;
  return size;
}

}  // namespace

std::optional<int> RunOnNewThread(ThreadWork work, void* context, std::uint64_t stack_size) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return std::nullopt;
  bool sized = true;
  if (stack_size != 0) {
    const std::uint64_t size = UsableStackSize(stack_size);
    sized = size <= SIZE_MAX &&
            pthread_attr_setstacksize(&attributes, static_cast<std::size_t>(size)) == 0;
  }
  ThreadCall call{work, context, 0};
  pthread_t thread;
  const bool created = sized && pthread_create(&thread, &attributes, ThreadMain, &call) == 0;
  pthread_attr_destroy(&attributes);
  if (!created) return std::nullopt;
  pthread_join(thread, nullptr);
  return call.result;
}

}  // namespace korvan::platform
