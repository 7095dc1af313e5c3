#include "jvm/static_stop.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"

namespace korvan {

namespace {

// The class as main found it: the name goes to FindClass as the VM's own
// modified UTF-8, made from the UTF-16 text, so no character is lost.
jclass FindClassNamed(JNIEnv* env, const std::wstring& class_name) {
  jstring name = NewJavaString(env, class_name);
  if (name == nullptr) return nullptr;
  const char* name_bytes = env->GetStringUTFChars(name, nullptr);
  if (name_bytes == nullptr) return nullptr;
  jclass found = env->FindClass(name_bytes);
  env->ReleaseStringUTFChars(name, name_bytes);
  env->DeleteLocalRef(name);
  return found;
}

}  // namespace

StopCallResult CallStaticStop(const VmSession& session, const std::wstring& main_class) {
  // Leaving this scope describes a pending exception and detaches.
  const AttachedThread attached(session);
  JNIEnv* env = attached.env();
  if (env == nullptr) return StopCallResult::NoVm;
  jclass type = FindClassNamed(env, main_class);
  if (type == nullptr) return StopCallResult::ClassNotFound;
  jmethodID stop = env->GetStaticMethodID(type, "stop", "()V");
  if (stop == nullptr) {
    // An application without stop is a normal case, told by the caller's trace
    // line: the lookup's NoSuchMethodError would only mislead on standard error.
    if (env->ExceptionCheck()) env->ExceptionClear();
    return StopCallResult::NoStopMethod;
  }
  env->CallStaticVoidMethodA(type, stop, nullptr);
  return StopCallResult::Called;
}

}  // namespace korvan
