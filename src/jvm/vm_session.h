#pragma once
// The one owner of the Java VM of a run. The VM thread creates it; other
// threads (a service's stop routine, single-instance request handlers) see it
// only once creation has finished, and reach it through an attached thread.

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "jvm/vm_library.h"
#include "messages/failure.h"

namespace korvan {

class VmSession {
 public:
  explicit VmSession(InvocationFunctions functions) : functions_(functions) {}
  VmSession(const VmSession&) = delete;
  VmSession& operator=(const VmSession&) = delete;
  // Destroys the VM when one was created, which waits for the application's
  // other non-daemon threads to end.
  ~VmSession();

  // The VM's default Java thread stack size in bytes; 0 when the library gives none.
  std::uint64_t DefaultJavaStackSize() const;

  // Creates the VM on the calling thread, which stays attached to it, with
  // `options` handed over whole, and `exit_hook` as its "exit" hook when
  // given; message 203 with the reason when the VM refuses. With
  // `keep_vm_text`, what the VM said while refusing goes with the failure.
  Expected<JNIEnv*> Create(const std::vector<std::string>& options,
                           void(JNICALL* exit_hook)(jint) = nullptr, bool keep_vm_text = false);

  // The VM once its creation has finished; null before that, or when it failed.
  JavaVM* vm() const { return vm_.load(std::memory_order_acquire); }

 private:
  InvocationFunctions functions_;
  std::atomic<JavaVM*> vm_{nullptr};
};

// How a launcher thread joins the VM. A daemon is none of the application's
// threads: neither the VM's teardown nor a wait for the application waits for it.
enum class AttachAs { Application, Daemon };

// The calling thread attached to the session's VM while this object lives.
// On leaving, a pending exception is described and the thread detaches.
class AttachedThread {
 public:
  explicit AttachedThread(const VmSession& session, AttachAs kind = AttachAs::Application);
  AttachedThread(const AttachedThread&) = delete;
  AttachedThread& operator=(const AttachedThread&) = delete;
  ~AttachedThread();

  // Null when there is no VM yet or the thread could not attach.
  JNIEnv* env() const { return env_; }

 private:
  JavaVM* vm_ = nullptr;
  JNIEnv* env_ = nullptr;
};

// The reason text for a JNI_CreateJavaVM result; empty for unlisted codes.
std::wstring CreationFailureReason(jint code);

}  // namespace korvan
