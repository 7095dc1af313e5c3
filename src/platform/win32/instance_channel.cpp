// The single-instance rendezvous on Windows. Every start of one launcher
// executable opens the same named shared block (1052 bytes):
//   offset 0  the first instance's message thread id
//   offset 4  the first instance's process id
//   offset 8  the registered instance message
//   offset 12 the argument area, 1040 bytes
// A second instance writes the area and posts the instance message to the
// message thread (wParam: its own thread id; lParam: the request's tag,
// below); the first instance answers with the same message (wParam: the
// reply; lParam: the tag again, so that no other process can answer for it).
// Every object lives in the session's own namespace ("Local\"), made by the
// user's first start with a DACL for that user alone; an object of the same
// name that another user made first is not used, and the guard is off:
//   <name>_blk   the shared block
//   <name>_evt   the ready event, set just before the application's main
//   <name>_mtx   held by a second instance from writing the area until
//   <name>_read  the first instance has taken it, so two second instances
//                never share the area
//   <name>_id    16 bytes: the first instance's creation time (offset 0),
//                so that a reused process id is not taken for it, and the
//                tag of the request pending in the area (offset 8; 0: none).
// A tag is random and never 0. The first instance serves a message only when
// its tag is the pending one, and takes the request (the tag back to 0, the
// area cleared) before it serves it, so a message posted again, or with
// another tag or none, is answered -1 and never served. A second instance
// hands its arguments only to a process that runs this executable as this
// user. The names differ from those of earlier launchers, whose second
// starts therefore run as first instances of their own rather than wait.
#include "platform/instance_channel.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstring>
#include <memory>

#include "platform/win32/instance_block.h"
#include "platform/win32/instance_listener.h"
#include "platform/win32/instance_security.h"

namespace korvan::platform {

namespace {

using namespace instance_block;

// How long a second instance waits for a first one that opened the block but
// has not published its header yet, or for the first to take the area.
constexpr DWORD kHeaderPatienceMs = 5000;
constexpr DWORD kCopyPatienceMs = 10000;
// How long a first instance that stops serving waits for running requests.
constexpr DWORD kServePatienceMs = 5000;

// When `process` was created, as one number; 0 when that cannot be read.
LONG64 CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return static_cast<LONG64>((static_cast<ULONGLONG>(created.dwHighDateTime) << 32) |
                             created.dwLowDateTime);
}

bool Taken(DWORD wait_result) { return wait_result == WAIT_OBJECT_0 || wait_result == WAIT_ABANDONED; }

// A request's tag: unguessable, so that no other process can post or answer
// for it, and never 0; 0 when no random bytes could be had.
LONG NewTag() {
  LONG tag = 0;
  for (int attempt = 0; tag == 0 && attempt < 4; ++attempt) {
    if (!RtlGenRandom(&tag, sizeof tag)) return 0;
  }
  return tag;
}

// The named objects of one rendezvous, all the current user's.
struct NamedObjects {
  Handle mapping;
  View view;
  Handle identity_mapping;
  View identity;
  Handle lock;    // <name>_mtx
  Handle copied;  // <name>_read
  bool first = false;
};

std::unique_ptr<NamedObjects> OpenNamedObjects(const std::wstring& name) {
  UserOnlySecurity security;
  auto objects = std::make_unique<NamedObjects>();
  bool existed = false;
  objects->mapping =
      CreateUserMapping(security, SessionObjectName(name, L"_blk"), kBlockSize, existed);
  objects->first = !existed;
  bool identity_existed = false;
  objects->identity_mapping =
      CreateUserMapping(security, SessionObjectName(name, L"_id"), kIdentitySize, identity_existed);
  objects->lock = CreateUserMutex(security, SessionObjectName(name, L"_mtx"));
  objects->copied = CreateUserEvent(security, SessionObjectName(name, L"_read"), false);
  if (!objects->mapping || !objects->identity_mapping || !objects->lock || !objects->copied) {
    return nullptr;
  }
  objects->view.Reset(MapViewOfFile(objects->mapping.get(), FILE_MAP_WRITE, 0, 0, kBlockSize));
  objects->identity.Reset(
      MapViewOfFile(objects->identity_mapping.get(), FILE_MAP_WRITE, 0, 0, kIdentitySize));
  if (!objects->view || !objects->identity) return nullptr;
  return objects;
}

class MappingChannel : public InstanceChannel {
 public:
  MappingChannel(std::wstring name, std::unique_ptr<NamedObjects> objects)
      : name_(std::move(name)), objects_(std::move(objects)) {}

  ~MappingChannel() override { StopServing(); }

  bool first() const override { return objects_->first; }

  bool Listen(InstanceRequestHandler handler) override {
    listener_ = std::make_shared<Listener>();
    listener_->handler = std::move(handler);
    UserOnlySecurity security;
    listener_->ready = CreateUserEvent(security, SessionObjectName(name_, L"_evt"), true);
    // Requests wait for the ready point in any case: without the named
    // event, one of this process alone does.
    if (!listener_->ready) listener_->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    listener_->closing.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    listener_->idle.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!listener_->ready || !listener_->closing || !listener_->idle) return false;
    listener_->message = RegisterWindowMessageW((name_ + L"_msg").c_str());
    if (listener_->message == 0) return false;
    const View& view = objects_->view;
    InterlockedExchange64(objects_->identity.field64(kCreationOffset),
                          CreationTime(GetCurrentProcess()));
    InterlockedExchange(view.field(8), static_cast<LONG>(listener_->message));
    InterlockedExchange(view.field(4), static_cast<LONG>(GetCurrentProcessId()));

    Handle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!started) return false;
    MessageThreadStart start{listener_, &objects_->view, &objects_->identity,
                             objects_->copied.get(), started.get()};
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

  HandOverResult HandOver(const std::vector<std::uint8_t>& area) override {
    if (area.size() > kAreaSize) return HandOverResult::kFailed;
    // This thread's queue must exist before the reply is posted to it.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    DWORD thread_id = 0;
    const HandOverResult found = FindFirstInstance(thread_id);
    if (found != HandOverResult::kHandedOver) return found;

    const View& view = objects_->view;
    HANDLE lock_or_end[2] = {objects_->lock.get(), process_.get()};
    // A first instance that ends meanwhile leaves its exit code to wait for.
    if (!Taken(WaitForMultipleObjects(2, lock_or_end, FALSE, INFINITE))) {
      return HandOverResult::kHandedOver;
    }
    // The first instance clears its header under this lock when it stops
    // serving: then nothing is posted, and its exit code is the reply.
    if (ReadField(view, 0) != thread_id || ReadField(view, 4) != GetProcessId(process_.get())) {
      ReleaseMutex(objects_->lock.get());
      return HandOverResult::kHandedOver;
    }
    // The first instance may bring its window to the front when it serves
    // this start: a process that the user did not start last may not,
    // unless this one passes it the right.
    AllowSetForegroundWindow(GetProcessId(process_.get()));
    // A holder that died after its post may have left the event set.
    ResetEvent(objects_->copied.get());
    tag_ = NewTag();
    bool posted = false;
    if (tag_ != 0) {
      std::memset(view.area(), 0, kAreaSize);
      std::memcpy(view.area(), area.data(), area.size());
      MemoryBarrier();
      InterlockedExchange(objects_->identity.field(kPendingTagOffset), tag_);
      posted = PostThreadMessageW(thread_id, message_, static_cast<WPARAM>(GetCurrentThreadId()),
                                  static_cast<LPARAM>(tag_)) != 0;
      WaitUntilTaken(posted);
      std::memset(view.area(), 0, kAreaSize);
    }
    ReleaseMutex(objects_->lock.get());
    return posted ? HandOverResult::kHandedOver : HandOverResult::kFailed;
  }

  int WaitForReply() override {
    if (!process_) return 0;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Only the first instance knows the tag: anything else is not its reply.
        if (message.message == message_ && static_cast<LONG>(message.lParam) == tag_) {
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
  // that process; a first instance that opened the block a moment ago may
  // not have published its header yet. A process that is not this launcher
  // run by this user never gets the arguments.
  HandOverResult FindFirstInstance(DWORD& thread_id) {
    const View& view = objects_->view;
    const DWORD patience_start = GetTickCount();
    for (;; Sleep(2)) {
      if (GetTickCount() - patience_start >= kHeaderPatienceMs) return HandOverResult::kFailed;
      thread_id = ReadField(view, 0);
      message_ = static_cast<UINT>(ReadField(view, 8));
      const DWORD process_id = ReadField(view, 4);
      if (thread_id == 0 || message_ == 0 || process_id == 0) continue;
      process_.Reset(
          OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process_id));
      if (!process_) continue;
      const LONG64 published =
          InterlockedCompareExchange64(objects_->identity.field64(kCreationOffset), 0, 0);
      if (published == CreationTime(process_.get())) {
        if (RunsThisLauncherAsThisUser(process_.get())) return HandOverResult::kHandedOver;
        process_.Reset();
        return HandOverResult::kNotOurs;
      }
      process_.Reset();
    }
  }

  // Until the first instance has taken this request, has ended, or the
  // patience runs out; a request not taken by then is given up, so that no
  // later message can take it. A late copied event may belong to an earlier
  // request. The first instance takes a request and clears the area before
  // it signals, so the area stays this writer's until then.
  void WaitUntilTaken(bool posted) {
    volatile LONG* pending = objects_->identity.field(kPendingTagOffset);
    HANDLE waits[2] = {objects_->copied.get(), process_.get()};
    const DWORD start = GetTickCount();
    while (posted) {
      const DWORD spent = GetTickCount() - start;
      if (spent >= kCopyPatienceMs) break;
      if (WaitForMultipleObjects(2, waits, FALSE, kCopyPatienceMs - spent) != WAIT_OBJECT_0) break;
      if (InterlockedCompareExchange(pending, 0, 0) != tag_) return;
    }
    if (InterlockedCompareExchange(pending, 0, tag_) == tag_) return;
    // Taken just now: the first instance is clearing the area.
    WaitForMultipleObjects(2, waits, FALSE, kCopyPatienceMs);
  }

  // No later start takes this process for a first instance that listens.
  // Under the hand-over lock, so that a second instance either posted
  // before (and its area was taken) or sees the cleared header.
  void ClearHeader() {
    const bool locked = Taken(WaitForSingleObject(objects_->lock.get(), kCopyPatienceMs));
    const View& view = objects_->view;
    if (ReadField(view, 4) == GetCurrentProcessId()) {
      InterlockedExchange(view.field(0), 0);
      InterlockedExchange(view.field(4), 0);
      InterlockedExchange(view.field(8), 0);
      InterlockedExchange64(objects_->identity.field64(kCreationOffset), 0);
    }
    if (locked) ReleaseMutex(objects_->lock.get());
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
  std::unique_ptr<NamedObjects> objects_;
  std::shared_ptr<Listener> listener_;
  bool serving_stopped_ = false;
  Handle thread_;
  DWORD thread_id_ = 0;
  Handle process_;
  UINT message_ = 0;
  LONG tag_ = 0;
};

}  // namespace

std::size_t ArgumentAreaCapacity() { return kAreaSize; }

std::unique_ptr<InstanceChannel> OpenInstanceChannel(const std::wstring& name) {
  std::unique_ptr<NamedObjects> objects = OpenNamedObjects(name);
  if (!objects) return nullptr;
  return std::make_unique<MappingChannel>(name, std::move(objects));
}

}  // namespace korvan::platform
