#include "jvm/main_invocation.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "jvm/main_class_failure.h"
#include "jvm/main_method.h"
#include "messages/trace.h"
#include "platform/exception_dialog.h"

namespace korvan {

namespace {

Expected<jclass> FindMainClass(JNIEnv* env, const std::wstring& class_name, bool capture) {
  jstring name = NewJavaString(env, class_name);
  if (name == nullptr) {
    DescribePendingException(env);
    return MessageFailure(MessageId::MainClassLoadFailed, {class_name});
  }
  // FindClass takes modified UTF-8; the VM makes it from the UTF-16 text.
  const char* name_bytes = env->GetStringUTFChars(name, nullptr);
  if (name_bytes == nullptr) {
    DescribePendingException(env);
    return SilentFailure();
  }
  jclass main_class = env->FindClass(name_bytes);
  env->ReleaseStringUTFChars(name, name_bytes);
  env->DeleteLocalRef(name);
  if (main_class == nullptr) return MainClassLoadFailure(env, class_name, capture);
  return main_class;
}

// Describes the pending exception `thrown` as the VM does. The failure is
// silent, as the description is out; with `capture` it keeps the stack
// trace for a log that does not see the VM's standard error (a service's).
Failure DescribedException(JNIEnv* env, jthrowable thrown, bool capture) {
  env->ExceptionDescribe();
  Failure failure = SilentFailure();
  if (capture && thrown != nullptr) failure.described = CaptureStackTrace(env, thrown);
  return failure;
}

// Everything up to and including the call of main. No failure when main
// returned without an uncaught exception.
Outcome CallMain(JNIEnv* env, const MainCall& call, const ReadyCallback& on_ready) {
  const Expected<std::wstring> main_class_name = NameMainClass(env, call.main_class, call.naming);
  if (!main_class_name) return main_class_name.failure();
  Trace(L"main class: " + *main_class_name);
  Expected<jclass> main_class = FindMainClass(env, *main_class_name, call.failure_check);
  if (!main_class) return main_class.failure();

  const LaunchProtocol protocol =
      LaunchProtocolOf(RunningFeatureRelease(env), call.preview_enabled);
  Expected<MainEntry> entry = FindMainEntry(env, *main_class, call.main_class, protocol);
  if (!entry) return entry.failure();

  jobjectArray arguments = NewJavaStringArray(env, call.arguments);
  if (arguments == nullptr) {
    DescribePendingException(env);
    return SilentFailure();
  }

  EnterMain(env, *main_class, *entry, arguments, on_ready);

  // An exception that escaped main (or the constructor of an instance main's
  // class) is a failed run, described like the VM's own uncaught exception
  // handler would.
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return std::nullopt;
  Failure failure = DescribedException(env, thrown, call.failure_check);
  if (call.failure_check) {
    Trace(L"uncaught exception in main:\n" + failure.described);
    if (call.show_uncaught_exception) {
      if (platform::AskAboutUncaughtException(failure.described) == platform::ExceptionDecision::Stop) {
        platform::EndProcessNow(-1);
      }
      // The user has seen it: no error box shows it again.
      failure.described.clear();
    }
  }
  return failure;
}

std::wstring NoStackTrace(JNIEnv* env) {
  DescribePendingException(env);
  return std::wstring();
}

}  // namespace

std::wstring CaptureStackTrace(JNIEnv* env, jthrowable thrown) {
  jclass buffer_class = env->FindClass("java/io/ByteArrayOutputStream");
  if (buffer_class == nullptr) return NoStackTrace(env);
  jmethodID buffer_constructor = env->GetMethodID(buffer_class, "<init>", "()V");
  if (buffer_constructor == nullptr) return NoStackTrace(env);
  jobject buffer = env->NewObject(buffer_class, buffer_constructor);
  if (buffer == nullptr) return NoStackTrace(env);
  jobject print_stream = NewPrintStream(env, buffer);
  if (print_stream == nullptr) return NoStackTrace(env);

  jmethodID print_stack_trace = env->GetMethodID(env->GetObjectClass(thrown), "printStackTrace",
                                                 "(Ljava/io/PrintStream;)V");
  if (print_stack_trace == nullptr) return NoStackTrace(env);
  env->CallVoidMethod(thrown, print_stack_trace, print_stream);
  DescribePendingException(env);

  jmethodID to_string =
      env->GetMethodID(env->GetObjectClass(buffer), "toString", "()Ljava/lang/String;");
  if (to_string == nullptr) return NoStackTrace(env);
  auto text = static_cast<jstring>(env->CallObjectMethod(buffer, to_string));
  DescribePendingException(env);
  return WideFromJavaString(env, text);
}

Outcome InvokeMain(JNIEnv* env, JavaVM* vm, const MainCall& call, const ReadyCallback& on_ready) {
  Outcome outcome = CallMain(env, call, on_ready);
  // Detach on every path: a thread that ends while still attached would keep
  // the teardown's DestroyJavaVM waiting for it.
  const bool detached = vm->DetachCurrentThread() == JNI_OK;
  if (!outcome && !detached) outcome = SilentFailure();
  return outcome;
}

}  // namespace korvan
