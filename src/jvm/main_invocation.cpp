#include "jvm/main_invocation.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "jvm/vm_creation.h"
#include "launcher/launcher.h"
#include "messages/messages.h"
#include "messages/trace.h"

namespace korvan {

namespace {

jclass FindMainClass(JNIEnv* env, const std::wstring& class_name) {
  jstring name = NewJavaString(env, class_name);
  if (name == nullptr) {
    DescribePendingException(env);
    ReportError(MessageId::MainClassLoadFailed, {class_name});
    return nullptr;
  }
  // FindClass takes modified UTF-8; the VM makes it from the UTF-16 text.
  const char* name_bytes = env->GetStringUTFChars(name, nullptr);
  if (name_bytes == nullptr) {
    DescribePendingException(env);
    return nullptr;
  }
  jclass main_class = env->FindClass(name_bytes);
  env->ReleaseStringUTFChars(name, name_bytes);
  env->DeleteLocalRef(name);
  if (main_class == nullptr) {
    DescribePendingException(env);
    ReportError(MessageId::MainClassNotFound, {class_name});
  }
  return main_class;
}

// Everything up to and including the call of main. True when main returned
// without an uncaught exception.
bool CallMain(Launcher& launcher) {
  JNIEnv* env = launcher.env;
  Trace(L"main class: " + launcher.settings.main_class);
  jclass main_class = FindMainClass(env, launcher.settings.main_class);
  if (main_class == nullptr) return false;

  jmethodID main = env->GetStaticMethodID(main_class, "main", "([Ljava/lang/String;)V");
  if (main == nullptr) {
    if (env->ExceptionCheck()) {
      env->ExceptionDescribe();
    } else {
      ReportError(MessageId::MainMethodNotFound);
    }
    return false;
  }

  jobjectArray arguments = NewJavaStringArray(env, launcher.arguments);
  if (arguments == nullptr) {
    DescribePendingException(env);
    return false;
  }

  if (launcher.signal_ready) launcher.signal_ready();
  env->CallStaticVoidMethod(main_class, main, arguments);

  // An exception that escaped main is a failed run, described like the VM's
  // own uncaught exception handler would.
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return true;
  env->ExceptionDescribe();
  if (launcher.settings.failure_check) {
    Trace(L"uncaught exception in main:\n" + CaptureStackTrace(env, thrown));
  }
  return false;
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

bool InvokeMain(Launcher& launcher) {
  const bool main_returned = CallMain(launcher);
  // Detach on every path: a thread that ends while still attached would keep
  // the teardown's DestroyJavaVM waiting for it.
  const bool detached = launcher.vm->DetachCurrentThread() == JNI_OK;
  return main_returned && detached;
}

int RunVmWork(void* context) {
  auto* launcher = static_cast<Launcher*>(context);
  if (launcher == nullptr || !CreateVm(*launcher)) return 1;
  return InvokeMain(*launcher) ? 0 : 1;
}

}  // namespace korvan
