#include "jvm/main_class_failure.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "jvm/main_invocation.h"

namespace korvan {

namespace {

bool IsInstanceOfClass(JNIEnv* env, jthrowable thrown, const char* class_name) {
  jclass type = env->FindClass(class_name);
  if (type == nullptr) {
    env->ExceptionClear();
    return false;
  }
  return env->IsInstanceOf(thrown, type) == JNI_TRUE;
}

// Throwable.toString (or getMessage): "java.lang.X: what happened".
std::wstring ThrowableText(JNIEnv* env, jthrowable thrown, const char* method_name) {
  jmethodID method =
      env->GetMethodID(env->GetObjectClass(thrown), method_name, "()Ljava/lang/String;");
  if (method == nullptr) {
    env->ExceptionClear();
    return std::wstring();
  }
  auto text = static_cast<jstring>(env->CallObjectMethod(thrown, method));
  if (env->ExceptionCheck()) {
    env->ExceptionClear();
    return std::wstring();
  }
  return WideFromJavaString(env, text);
}

}  // namespace

Failure MainClassLoadFailure(JNIEnv* env, const std::wstring& class_name, bool capture) {
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return MessageFailure(MessageId::MainClassNotFound, {class_name});
  env->ExceptionClear();

  if (IsInstanceOfClass(env, thrown, "java/lang/UnsupportedClassVersionError")) {
    return MessageFailure(MessageId::MainClassNeedsNewerJava,
                          {class_name, ThrowableText(env, thrown, "getMessage")});
  }
  // NoClassDefFoundError is a LinkageError too; naming the class itself, it
  // means "not there". Naming another (a superclass), the class is there.
  const bool missing = !IsInstanceOfClass(env, thrown, "java/lang/LinkageError") ||
                       (IsInstanceOfClass(env, thrown, "java/lang/NoClassDefFoundError") &&
                        ThrowableText(env, thrown, "getMessage") == class_name);
  const std::wstring text = ThrowableText(env, thrown, "toString");
  const std::wstring stack_trace = capture ? CaptureStackTrace(env, thrown) : std::wstring();
  // The VM's description shows the cause: an initializer's exception, for one.
  env->Throw(thrown);
  DescribePendingException(env);
  Failure failure = missing ? MessageFailure(MessageId::MainClassNotFound, {class_name})
                            : MessageFailure(MessageId::MainClassLinkageError, {class_name, text});
  failure.described = stack_trace;
  return failure;
}

}  // namespace korvan
