#pragma once
// The first instance's side of the Windows rendezvous: the message thread
// that copies each second instance's area, and the request threads that serve
// them once the application is ready, until the first instance stops serving.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "platform/instance_channel.h"
#include "platform/win32/instance_block.h"

namespace korvan::platform::instance_block {

// Answers a second instance: the instance message to its thread, wParam
// `code`, lParam the tag of its request.
void PostReply(DWORD thread, UINT message, std::int32_t code, LONG tag);

class MessageRequest : public InstanceRequest {
 public:
  MessageRequest(std::vector<std::uint8_t> area, UINT message, DWORD reply_thread, LONG tag)
      : area_(std::move(area)), message_(message), reply_thread_(reply_thread), tag_(tag) {}
  const std::vector<std::uint8_t>& area() const override { return area_; }
  // The handler's thread and a first instance that stops serving may race.
  void Reply(std::int32_t code) override {
    if (InterlockedExchange(&replied_, 1) != 0) return;
    PostReply(reply_thread_, message_, code, tag_);
  }

 private:
  std::vector<std::uint8_t> area_;
  UINT message_;
  DWORD reply_thread_;
  LONG tag_;
  LONG replied_ = 0;
};

// What the first instance's threads share; it outlives the channel while a
// request thread still runs.
struct Listener {
  Listener() { InitializeCriticalSection(&lock); }
  ~Listener() { DeleteCriticalSection(&lock); }

  // False once the first instance stops serving: the request is not served.
  bool BeginServing(MessageRequest* request) {
    EnterCriticalSection(&lock);
    const bool open = !stopping;
    if (open) serving.insert(request);
    LeaveCriticalSection(&lock);
    return open;
  }
  void EndServing(MessageRequest* request) {
    EnterCriticalSection(&lock);
    serving.erase(request);
    if (stopping && serving.empty()) SetEvent(idle.get());
    LeaveCriticalSection(&lock);
  }
  bool Stopping() {
    EnterCriticalSection(&lock);
    const bool result = stopping;
    LeaveCriticalSection(&lock);
    return result;
  }

  InstanceRequestHandler handler;
  UINT message = 0;
  Handle ready;    // set once the application's main is about to run
  Handle closing;  // set when this process stops serving
  Handle idle;     // set once stopping and no request is being served
  CRITICAL_SECTION lock;
  bool stopping = false;
  std::set<MessageRequest*> serving;
};

struct MessageThreadStart {
  std::shared_ptr<Listener> listener;
  const View* view;
  const View* identity;
  HANDLE copied;   // <name>_read
  HANDLE started;  // set once the thread has its queue and published its id
};

// The message thread's routine; `argument` is a MessageThreadStart, read
// before `started` is set.
DWORD WINAPI MessageThread(LPVOID argument);

}  // namespace korvan::platform::instance_block
