#include "jvm/application_threads.h"

namespace korvan {

namespace {

struct ThreadMethods {
  jclass thread = nullptr;
  jmethodID all_stack_traces = nullptr;
  jmethodID current = nullptr;
  jmethodID is_daemon = nullptr;
  jmethodID is_alive = nullptr;
  jmethodID join = nullptr;
  jmethodID key_set = nullptr;
  jmethodID to_array = nullptr;
};

// Each lookup only while the ones before it succeeded: no JNI call is made
// with an exception pending.
bool FindThreadMethods(JNIEnv* env, ThreadMethods& methods) {
  methods.thread = env->FindClass("java/lang/Thread");
  if (methods.thread == nullptr) return false;
  jclass map = env->FindClass("java/util/Map");
  if (map == nullptr) return false;
  jclass collection = env->FindClass("java/util/Collection");
  if (collection == nullptr) return false;
  return (methods.all_stack_traces = env->GetStaticMethodID(methods.thread, "getAllStackTraces",
                                                            "()Ljava/util/Map;")) != nullptr &&
         (methods.current = env->GetStaticMethodID(methods.thread, "currentThread",
                                                   "()Ljava/lang/Thread;")) != nullptr &&
         (methods.is_daemon = env->GetMethodID(methods.thread, "isDaemon", "()Z")) != nullptr &&
         (methods.is_alive = env->GetMethodID(methods.thread, "isAlive", "()Z")) != nullptr &&
         (methods.join = env->GetMethodID(methods.thread, "join", "()V")) != nullptr &&
         (methods.key_set = env->GetMethodID(map, "keySet", "()Ljava/util/Set;")) != nullptr &&
         (methods.to_array = env->GetMethodID(collection, "toArray", "()[Ljava/lang/Object;")) !=
             nullptr;
}

// The VM's threads now; null when the VM cannot say.
jobjectArray AllThreads(JNIEnv* env, const ThreadMethods& methods) {
  jobject map = env->CallStaticObjectMethod(methods.thread, methods.all_stack_traces);
  if (map == nullptr) return nullptr;
  jobject keys = env->CallObjectMethod(map, methods.key_set);
  env->DeleteLocalRef(map);
  if (keys == nullptr) return nullptr;
  auto* threads = static_cast<jobjectArray>(env->CallObjectMethod(keys, methods.to_array));
  env->DeleteLocalRef(keys);
  return threads;
}

// Whether `thread` is one the application still runs on: alive, not a daemon,
// and not `self`.
bool IsApplicationThread(JNIEnv* env, const ThreadMethods& methods, jobject self, jobject thread) {
  return thread != nullptr && !env->IsSameObject(thread, self) &&
         !env->CallBooleanMethod(thread, methods.is_daemon) &&
         env->CallBooleanMethod(thread, methods.is_alive);
}

// Joins each application thread (see above), or with `join` false only looks
// for one; true when there was one.
bool VisitApplicationThreads(JNIEnv* env, const ThreadMethods& methods, jobject self,
                             jobjectArray threads, bool join) {
  bool found = false;
  const jsize count = env->GetArrayLength(threads);
  for (jsize i = 0; i < count && !env->ExceptionCheck() && (join || !found); ++i) {
    jobject thread = env->GetObjectArrayElement(threads, i);
    if (IsApplicationThread(env, methods, self, thread)) {
      if (join) env->CallVoidMethod(thread, methods.join);
      found = true;
    }
    env->DeleteLocalRef(thread);
  }
  return found && !env->ExceptionCheck();
}

// Looks at the VM's threads from a daemon thread of the launcher's: with
// `join`, until none of the application's is left; else once. True when one
// was found.
bool VisitApplicationThreads(const VmSession& session, bool join) {
  const AttachedThread attached(session, AttachAs::Daemon);
  JNIEnv* env = attached.env();
  if (env == nullptr) return false;
  bool found = false;
  ThreadMethods methods;
  if (FindThreadMethods(env, methods)) {
    jobject self = env->CallStaticObjectMethod(methods.thread, methods.current);
    // A thread may start another before it ends: ask again until none is left.
    for (bool again = self != nullptr; again;) {
      jobjectArray threads = AllThreads(env, methods);
      again = threads != nullptr && VisitApplicationThreads(env, methods, self, threads, join);
      found = found || again;
      again = again && join;
      env->DeleteLocalRef(threads);
    }
    env->DeleteLocalRef(self);
  }
  // A VM that cannot be asked leaves the wait to DestroyJavaVM.
  if (env->ExceptionCheck()) env->ExceptionClear();
  return found;
}

}  // namespace

void WaitForApplicationThreads(const VmSession& session) { VisitApplicationThreads(session, true); }

bool ApplicationThreadsLeft(const VmSession& session) { return VisitApplicationThreads(session, false); }

}  // namespace korvan
