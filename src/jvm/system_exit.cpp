#include "jvm/system_exit.h"

namespace korvan {

void CallSystemExit(const VmSession& session, int code) {
  // Leaving this scope describes a pending exception and detaches.
  const AttachedThread attached(session, AttachAs::Daemon);
  JNIEnv* env = attached.env();
  if (env == nullptr) return;
  jclass system = env->FindClass("java/lang/System");
  if (system == nullptr) return;
  jmethodID exit = env->GetStaticMethodID(system, "exit", "(I)V");
  if (exit == nullptr) return;
  jvalue argument{};
  argument.i = code;
  env->CallStaticVoidMethodA(system, exit, &argument);
}

}  // namespace korvan
