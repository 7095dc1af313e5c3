#include "platform/win32/instance_listener.h"

#include <cstring>
#include <optional>

namespace korvan::platform::instance_block {

namespace {

struct RequestWork {
  std::shared_ptr<Listener> listener;
  MessageRequest request;
};

DWORD WINAPI RequestThread(LPVOID argument) {
  std::unique_ptr<RequestWork> work(static_cast<RequestWork*>(argument));
  Listener& listener = *work->listener;
  // The ready event is set once and never reset: later requests pass at once.
  HANDLE waits[2] = {listener.ready.get(), listener.closing.get()};
  WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  if (!listener.BeginServing(&work->request)) {
    work->request.Reply(-1);
    return 0;
  }
  listener.handler(work->request);
  listener.EndServing(&work->request);
  return 0;
}

// The area that a message with `tag` was posted for, copied and cleared;
// nothing unless that request is still pending. Each request is taken once:
// a message posted again, or with no tag, or for an area rewritten or given
// up since, gets nothing, whatever the area holds.
std::optional<std::vector<std::uint8_t>> TakeArea(const View& view, const View& identity,
                                                  LONG tag) {
  if (tag == 0 || ReadField(identity, kPendingTagOffset) != static_cast<DWORD>(tag)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> area(view.area(), view.area() + kAreaSize);
  MemoryBarrier();
  // The writer holds its request pending until it sees it taken, and gives it
  // up (or a later writer replaces it) only by this same exchange: the copy
  // is whole and this message's when the exchange finds the tag unchanged.
  if (InterlockedCompareExchange(identity.field(kPendingTagOffset), 0, tag) != tag) {
    return std::nullopt;
  }
  // The writer waits for the copied event before it lets anyone else write.
  std::memset(view.area(), 0, kAreaSize);
  return area;
}

}  // namespace

void PostReply(DWORD thread, UINT message, std::int32_t code, LONG tag) {
  PostThreadMessageW(thread, message, static_cast<WPARAM>(static_cast<DWORD>(code)),
                     static_cast<LPARAM>(tag));
}

DWORD WINAPI MessageThread(LPVOID argument) {
  const MessageThreadStart start = *static_cast<MessageThreadStart*>(argument);
  Listener& listener = *start.listener;
  MSG message;
  // A thread has no queue until it asks for a message: posts made before
  // this would fail.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  InterlockedExchange(start.view->field(0), static_cast<LONG>(GetCurrentThreadId()));
  SetEvent(start.started);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message != listener.message) continue;
    const DWORD reply_thread = static_cast<DWORD>(message.wParam);
    const LONG tag = static_cast<LONG>(message.lParam);
    std::optional<std::vector<std::uint8_t>> area = TakeArea(*start.view, *start.identity, tag);
    if (!area) {
      PostReply(reply_thread, listener.message, -1, tag);
      continue;
    }
    // Taken: the next second instance may write the area.
    SetEvent(start.copied);
    if (listener.Stopping()) {
      PostReply(reply_thread, listener.message, -1, tag);
      continue;
    }
    auto* work = new RequestWork{
        start.listener, MessageRequest(std::move(*area), listener.message, reply_thread, tag)};
    HANDLE thread = CreateThread(nullptr, 0, RequestThread, work, 0, nullptr);
    if (thread == nullptr) {
      delete work;
    } else {
      CloseHandle(thread);
    }
  }
  return 0;
}

}  // namespace korvan::platform::instance_block
