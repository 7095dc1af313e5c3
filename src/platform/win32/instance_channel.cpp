// The single-instance rendezvous on Windows. Every start of one launcher
// executable opens the same named shared block (1052 bytes):
//   offset 0  the first instance's message thread id
//   offset 4  the first instance's process id
//   offset 8  the registered instance message
//   offset 12 the argument area, 1040 bytes
// A second instance writes the area and posts the instance message to the
// message thread (wParam: its own thread id; lParam: the area's tag, below);
// the first instance answers with the same message (wParam: the reply).
// Named objects beside the block:
//   <name>_upr_evt  the ready event, set just before the application's main
//   <name>_upr_mtx  held by a second instance from writing the area until
//   <name>_upr_read the first instance has copied it, so two second
//                   instances never share the area
//   <name>_upr_id   16 bytes: the first instance's creation time (offset 0),
//                   so that a reused process id is not taken for it; the tag
//                   of the area's last writer (offset 8) and of the last area
//                   copied (offset 12). A message whose tag is no longer the
//                   area's refers to an area rewritten since: it is answered
//                   -1 and never served. Tag 0 (a launcher without this block)
//                   is served as it comes.
#include "platform/instance_channel.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "platform/win32/instance_block.h"
#include "platform/win32/instance_listener.h"

namespace korvan::platform {

namespace {

using namespace instance_block;

// How long a second instance waits for a first one that opened the block but
// has not published its header yet, or for the first to copy the area.
constexpr DWORD kHeaderPatienceMs = 5000;
constexpr DWORD kCopyPatienceMs = 10000;
// How long a first instance that stops serving waits for running requests.
constexpr DWORD kServePatienceMs = 5000;

void OpenIdentity(const std::wstring& name, Handle& mapping, View& view) {
  mapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kIdentitySize,
                                   (name + L"_upr_id").c_str()));
  if (mapping) view.Reset(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, kIdentitySize));
}

// When `process` was created, as one number; 0 when that cannot be read.
LONG64 CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return static_cast<LONG64>((static_cast<ULONGLONG>(created.dwHighDateTime) << 32) |
                             created.dwLowDateTime);
}

Handle OpenHandOverLock(const std::wstring& name) {
  return Handle(CreateMutexW(nullptr, FALSE, (name + L"_upr_mtx").c_str()));
}

bool Taken(DWORD wait_result) { return wait_result == WAIT_OBJECT_0 || wait_result == WAIT_ABANDONED; }

class MappingChannel : public InstanceChannel {
 public:
  MappingChannel(std::wstring name, HANDLE mapping, void* view, bool first)
      : name_(std::move(name)), mapping_(mapping), view_(view), first_(first) {
    OpenIdentity(name_, identity_mapping_, identity_);
  }

  ~MappingChannel() override { StopServing(); }

  bool first() const override { return first_; }

  bool Listen(InstanceRequestHandler handler) override {
    listener_ = std::make_shared<Listener>();
    listener_->handler = std::move(handler);
    listener_->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, (name_ + L"_upr_evt").c_str()));
    // Requests wait for the ready point in any case: without the named
    // event, one of this process alone does.
    if (!listener_->ready) listener_->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    listener_->closing.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    listener_->idle.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!listener_->ready || !listener_->closing || !listener_->idle) return false;
    listener_->message = RegisterWindowMessageW(name_.c_str());
    if (listener_->message == 0) return false;
    copied_.Reset(CreateEventW(nullptr, FALSE, FALSE, (name_ + L"_upr_read").c_str()));
    if (identity_) {
      InterlockedExchange64(identity_.field64(kCreationOffset), CreationTime(GetCurrentProcess()));
    }
    InterlockedExchange(view_.field(8), static_cast<LONG>(listener_->message));
    InterlockedExchange(view_.field(4), static_cast<LONG>(GetCurrentProcessId()));

    Handle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) return false;
    MessageThreadStart start{listener_, &view_, &identity_, copied_.get(), started.get()};
    thread_.Reset(CreateThread(nullptr, 0, MessageThread, &start, 0, &thread_id_));
    if (!thread_) return false;
    WaitForSingleObject(started.get(), INFINITE);
    return true;
  }

  void SignalReady() override { SetEvent(listener_->ready.get()); }

  // The second instance reads the exit code from the process itself.
  void SetExitCode(int) override {}

  void StopServing() override {
    if (!listener_ || serving_stopped_) return;
    serving_stopped_ = true;
    ClearHeader();
    EnterCriticalSection(&listener_->lock);
    listener_->stopping = true;
    if (listener_->serving.empty()) SetEvent(listener_->idle.get());
    LeaveCriticalSection(&listener_->lock);
    SetEvent(listener_->closing.get());  // requests still waiting for the ready point
    StopMessageThread();
    if (WaitForSingleObject(listener_->idle.get(), kServePatienceMs) != WAIT_OBJECT_0) {
      EnterCriticalSection(&listener_->lock);
      for (MessageRequest* request : listener_->serving) request->Reply(-1);
      LeaveCriticalSection(&listener_->lock);
    }
  }

  bool HandOver(const std::vector<std::uint8_t>& area) override {
    if (area.size() > kAreaSize) return false;
    // This thread's queue must exist before the reply is posted to it.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    DWORD thread_id = 0;
    if (!FindFirstInstance(thread_id)) return false;

    Handle lock = OpenHandOverLock(name_);
    Handle copied(CreateEventW(nullptr, FALSE, FALSE, (name_ + L"_upr_read").c_str()));
    if (!lock || !copied) return false;
    HANDLE lock_or_end[2] = {lock.get(), process_.get()};
    // A first instance that ends meanwhile leaves its exit code to wait for.
    if (!Taken(WaitForMultipleObjects(2, lock_or_end, FALSE, INFINITE))) return true;
    // The first instance clears its header under this lock when it stops
    // serving: then nothing is posted, and its exit code is the reply.
    if (ReadField(view_, 0) != thread_id || ReadField(view_, 4) != GetProcessId(process_.get())) {
      ReleaseMutex(lock.get());
      return true;
    }
    // A holder that died after its post may have left the event set.
    ResetEvent(copied.get());
    const LONG tag = NextTag();
    std::memset(view_.area(), 0, kAreaSize);
    std::memcpy(view_.area(), area.data(), area.size());
    MemoryBarrier();
    const bool posted = PostThreadMessageW(thread_id, message_,
                                           static_cast<WPARAM>(GetCurrentThreadId()), tag) != 0;
    if (posted) WaitUntilCopied(copied.get(), tag);
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
  // Waits for a published header whose process is the one that published
  // it (a process id can be reused once its process has gone), and opens
  // that process. A first instance that opened the block a moment ago may
  // not have published its header yet.
  bool FindFirstInstance(DWORD& thread_id) {
    const DWORD patience_start = GetTickCount();
    for (;; Sleep(2)) {
      if (GetTickCount() - patience_start >= kHeaderPatienceMs) return false;
      thread_id = ReadField(view_, 0);
      message_ = static_cast<UINT>(ReadField(view_, 8));
      const DWORD process_id = ReadField(view_, 4);
      if (thread_id == 0 || message_ == 0 || process_id == 0) continue;
      process_.Reset(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, process_id));
      if (!process_) continue;
      const LONG64 published =
          identity_ ? InterlockedCompareExchange64(identity_.field64(kCreationOffset), 0, 0) : 0;
      if (published == 0 || published == CreationTime(process_.get())) return true;
      process_.Reset();
    }
  }

  // The tag of a new area write, never 0.
  LONG NextTag() {
    if (!identity_) return 0;
    LONG tag = InterlockedIncrement(identity_.field(kAreaTagOffset));
    if (tag == 0) tag = InterlockedIncrement(identity_.field(kAreaTagOffset));
    return tag;
  }

  // Until the first instance has copied this area, has ended, or the
  // patience runs out. A late copy event may belong to an earlier message.
  void WaitUntilCopied(HANDLE copied, LONG tag) {
    const DWORD start = GetTickCount();
    HANDLE waits[2] = {copied, process_.get()};
    for (;;) {
      const DWORD spent = GetTickCount() - start;
      if (spent >= kCopyPatienceMs) return;
      if (WaitForMultipleObjects(2, waits, FALSE, kCopyPatienceMs - spent) != WAIT_OBJECT_0) return;
      if (!identity_ || tag == 0 ||
          ReadField(identity_, kCopiedTagOffset) == static_cast<DWORD>(tag)) {
        return;
      }
    }
  }

  // No later start takes this process for a first instance that listens.
  // Under the hand-over lock, so that a second instance either posted
  // before (and its area was copied) or sees the cleared header.
  void ClearHeader() {
    Handle lock = OpenHandOverLock(name_);
    const bool locked = lock && Taken(WaitForSingleObject(lock.get(), kCopyPatienceMs));
    if (ReadField(view_, 4) == GetCurrentProcessId()) {
      InterlockedExchange(view_.field(0), 0);
      InterlockedExchange(view_.field(4), 0);
      InterlockedExchange(view_.field(8), 0);
      if (identity_) InterlockedExchange64(identity_.field64(kCreationOffset), 0);
    }
    if (locked) ReleaseMutex(lock.get());
  }

  void StopMessageThread() {
    if (!thread_) return;
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeThread(thread_.get(), &code) && code == STILL_ACTIVE) {
      PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
      WaitForSingleObject(thread_.get(), 10);
    }
    thread_.Reset();
  }

  std::wstring name_;
  Handle mapping_;
  View view_;
  Handle identity_mapping_;
  View identity_;
  bool first_;
  std::shared_ptr<Listener> listener_;
  bool serving_stopped_ = false;
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
