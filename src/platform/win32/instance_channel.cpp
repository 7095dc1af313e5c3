// The single-instance rendezvous on Windows. Every start of one launcher
// executable opens the same named shared block (1052 bytes):
//   offset 0  the first instance's message thread id
//   offset 4  the first instance's process id
//   offset 8  the registered instance message
//   offset 12 the argument area, 1040 bytes
// A second instance writes the area and posts the instance message to the
// message thread (wParam: its own thread id); the first instance answers with
// the same message (wParam: the reply). Named objects beside the block:
//   <name>_upr_evt  the ready event, set just before the application's main
//   <name>_upr_mtx  held by a second instance from writing the area until
//   <name>_upr_read the first instance has copied it, so two second
//                   instances never share the area.
#include "platform/instance_channel.h"

#include <windows.h>

#include <cstring>
#include <memory>

namespace korvan::platform {

namespace {

constexpr DWORD kBlockSize = 1052;
constexpr std::size_t kAreaOffset = 12;
constexpr std::size_t kAreaSize = 1040;
// How long a second instance waits for a first one that opened the block but
// has not published its header yet, or for the first to copy the area.
constexpr DWORD kHeaderPatienceMs = 5000;
constexpr DWORD kCopyPatienceMs = 10000;

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

class View {
 public:
  explicit View(void* address) : address_(static_cast<std::uint8_t*>(address)) {}
  View(const View&) = delete;
  View& operator=(const View&) = delete;
  ~View() {
    if (address_ != nullptr) UnmapViewOfFile(address_);
  }
  explicit operator bool() const { return address_ != nullptr; }
  volatile LONG* field(std::size_t offset) const {
    return reinterpret_cast<volatile LONG*>(address_ + offset);
  }
  std::uint8_t* area() const { return address_ + kAreaOffset; }

 private:
  std::uint8_t* address_;
};

DWORD ReadField(const View& view, std::size_t offset) {
  return static_cast<DWORD>(InterlockedCompareExchange(view.field(offset), 0, 0));
}

// What the first instance's threads share; it outlives the channel while a
// request thread still runs.
struct Listener {
  InstanceRequestHandler handler;
  UINT message = 0;
  Handle ready;
};

class MessageRequest : public InstanceRequest {
 public:
  MessageRequest(std::vector<std::uint8_t> area, UINT message, DWORD reply_thread)
      : area_(std::move(area)), message_(message), reply_thread_(reply_thread) {}
  const std::vector<std::uint8_t>& area() const override { return area_; }
  void Reply(std::int32_t code) override {
    if (replied_) return;
    replied_ = true;
    PostThreadMessageW(reply_thread_, message_, static_cast<WPARAM>(static_cast<DWORD>(code)), 0);
  }

 private:
  std::vector<std::uint8_t> area_;
  UINT message_;
  DWORD reply_thread_;
  bool replied_ = false;
};

struct RequestWork {
  std::shared_ptr<Listener> listener;
  MessageRequest request;
};

DWORD WINAPI RequestThread(LPVOID argument) {
  std::unique_ptr<RequestWork> work(static_cast<RequestWork*>(argument));
  // Set once and never reset: later requests pass at once.
  if (work->listener->ready) WaitForSingleObject(work->listener->ready.get(), INFINITE);
  work->listener->handler(work->request);
  return 0;
}

struct MessageThreadStart {
  std::shared_ptr<Listener> listener;
  const View* view;
  HANDLE copied;   // <name>_upr_read
  HANDLE started;  // set once the thread has its queue and published its id
};

DWORD WINAPI MessageThread(LPVOID argument) {
  const MessageThreadStart start = *static_cast<MessageThreadStart*>(argument);
  MSG message;
  // A thread has no queue until it asks for a message: posts made before
  // this would fail.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  InterlockedExchange(start.view->field(0), static_cast<LONG>(GetCurrentThreadId()));
  SetEvent(start.started);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message != start.listener->message) continue;
    // Copy the area at once, so the next second instance may write it.
    std::vector<std::uint8_t> area(start.view->area(), start.view->area() + kAreaSize);
    if (start.copied != nullptr) SetEvent(start.copied);
    auto* work = new RequestWork{
        start.listener,
        MessageRequest(std::move(area), start.listener->message, static_cast<DWORD>(message.wParam))};
    HANDLE thread = CreateThread(nullptr, 0, RequestThread, work, 0, nullptr);
    if (thread == nullptr) {
      delete work;
    } else {
      CloseHandle(thread);
    }
  }
  return 0;
}

class MappingChannel : public InstanceChannel {
 public:
  MappingChannel(std::wstring name, HANDLE mapping, void* view, bool first)
      : name_(std::move(name)), mapping_(mapping), view_(view), first_(first) {}

  ~MappingChannel() override {
    if (thread_) {
      DWORD code = STILL_ACTIVE;
      while (GetExitCodeThread(thread_.get(), &code) && code == STILL_ACTIVE) {
        PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_.get(), 10);
      }
    }
  }

  bool first() const override { return first_; }

  bool Listen(InstanceRequestHandler handler) override {
    listener_ = std::make_shared<Listener>();
    listener_->handler = std::move(handler);
    // Without a ready event, requests are served at once.
    listener_->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, (name_ + L"_upr_evt").c_str()));
    listener_->message = RegisterWindowMessageW(name_.c_str());
    if (listener_->message == 0) return false;
    copied_.Reset(CreateEventW(nullptr, FALSE, FALSE, (name_ + L"_upr_read").c_str()));
    InterlockedExchange(view_.field(8), static_cast<LONG>(listener_->message));
    InterlockedExchange(view_.field(4), static_cast<LONG>(GetCurrentProcessId()));

    Handle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) return false;
    MessageThreadStart start{listener_, &view_, copied_.get(), started.get()};
    thread_.Reset(CreateThread(nullptr, 0, MessageThread, &start, 0, &thread_id_));
    if (!thread_) return false;
    WaitForSingleObject(started.get(), INFINITE);
    return true;
  }

  void SignalReady() override {
    if (listener_->ready) SetEvent(listener_->ready.get());
  }

  // The second instance reads the exit code from the process itself.
  void SetExitCode(int) override {}

  bool HandOver(const std::vector<std::uint8_t>& area) override {
    if (area.size() > kAreaSize) return false;
    // This thread's queue must exist before the reply is posted to it.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);

    // A first instance that opened the block a moment ago may not have
    // published its header yet.
    const DWORD patience_start = GetTickCount();
    while (ReadField(view_, 0) == 0 || ReadField(view_, 8) == 0) {
      if (GetTickCount() - patience_start >= kHeaderPatienceMs) return false;
      Sleep(2);
    }
    const DWORD thread_id = ReadField(view_, 0);
    message_ = static_cast<UINT>(ReadField(view_, 8));
    process_.Reset(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, ReadField(view_, 4)));

    Handle lock(CreateMutexW(nullptr, FALSE, (name_ + L"_upr_mtx").c_str()));
    Handle copied(CreateEventW(nullptr, FALSE, FALSE, (name_ + L"_upr_read").c_str()));
    if (!lock || !copied) return false;
    const DWORD taken = WaitForSingleObject(lock.get(), INFINITE);
    if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return false;
    // A holder that died after its post may have left the event set.
    ResetEvent(copied.get());
    std::memset(view_.area(), 0, kAreaSize);
    std::memcpy(view_.area(), area.data(), area.size());
    const bool posted =
        PostThreadMessageW(thread_id, message_, static_cast<WPARAM>(GetCurrentThreadId()), 0) != 0;
    if (posted) {
      HANDLE waits[2] = {copied.get(), process_.get()};
      WaitForMultipleObjects(process_ ? 2 : 1, waits, FALSE, kCopyPatienceMs);
    }
    ReleaseMutex(lock.get());
    return posted;
  }

  int WaitForReply() override {
    if (!process_) return 0;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == message_) {
          return static_cast<std::int32_t>(static_cast<DWORD>(message.wParam));
        }
      }
      DWORD code = 0;
      if (!GetExitCodeProcess(process_.get(), &code)) return 0;
      if (code != STILL_ACTIVE) return static_cast<int>(code);
      // Wakes on the reply or on the first instance's end, whichever comes first.
      HANDLE process = process_.get();
      MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLPOSTMESSAGE, MWMO_INPUTAVAILABLE);
    }
  }

 private:
  std::wstring name_;
  Handle mapping_;
  View view_;
  bool first_;
  std::shared_ptr<Listener> listener_;
  Handle copied_;
  Handle thread_;
  DWORD thread_id_ = 0;
  Handle process_;
  UINT message_ = 0;
};

}  // namespace

std::size_t ArgumentAreaCapacity() { return kAreaSize; }

std::unique_ptr<InstanceChannel> OpenInstanceChannel(const std::wstring& name) {
  HANDLE mapping =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize, name.c_str());
  if (mapping == nullptr) return nullptr;
  const bool first = GetLastError() != ERROR_ALREADY_EXISTS;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kBlockSize);
  if (view == nullptr) {
    CloseHandle(mapping);
    return nullptr;
  }
  return std::make_unique<MappingChannel>(name, mapping, view, first);
}

}  // namespace korvan::platform
