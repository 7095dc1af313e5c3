#include "platform/win32/instance_listener.h"

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

// The area that a message with `tag` refers to, copied; nothing when it has
// been rewritten since the message was posted.
std::optional<std::vector<std::uint8_t>> CopyArea(const View& view, const View& identity,
                                                  LONG tag) {
  const bool tagged = tag != 0 && identity;
  if (tagged && ReadField(identity, kAreaTagOffset) != static_cast<DWORD>(tag)) return std::nullopt;
  std::vector<std::uint8_t> area(view.area(), view.area() + kAreaSize);
  MemoryBarrier();
  // A writer takes the next tag before it writes: the same tag now means the
  // copy is whole and of this message's area.
  if (tagged && ReadField(identity, kAreaTagOffset) != static_cast<DWORD>(tag)) return std::nullopt;
  return area;
}

}  // namespace

void PostReply(DWORD thread, UINT message, std::int32_t code) {
  PostThreadMessageW(thread, message, static_cast<WPARAM>(static_cast<DWORD>(code)), 0);
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
    std::optional<std::vector<std::uint8_t>> area = CopyArea(*start.view, *start.identity, tag);
    if (!area) {
      PostReply(reply_thread, listener.message, -1);
      continue;
    }
    // Copied: the next second instance may write the area.
    if (*start.identity) InterlockedExchange(start.identity->field(kCopiedTagOffset), tag);
    if (start.copied != nullptr) SetEvent(start.copied);
    if (listener.Stopping()) {
      PostReply(reply_thread, listener.message, -1);
      continue;
    }
    auto* work = new RequestWork{start.listener,
                                 MessageRequest(std::move(*area), listener.message, reply_thread)};
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
