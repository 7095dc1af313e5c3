#include "jvm/vm_creation.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "messages/trace.h"

namespace korvan {

namespace {

// Points System.out or System.err (by `setter`) at a new file. False when a
// step yielded nothing; its exception, if any, is still pending then.
bool RedirectStream(JNIEnv* env, const std::wstring& path, const char* setter) {
  jstring file_name = NewJavaString(env, path);
  if (file_name == nullptr) return false;
  jclass file_stream_class = env->FindClass("java/io/FileOutputStream");
  if (file_stream_class == nullptr) return false;
  jmethodID file_stream_constructor =
      env->GetMethodID(file_stream_class, "<init>", "(Ljava/lang/String;)V");
  if (file_stream_constructor == nullptr) return false;
  // Replaces an existing file; a relative name is the VM's to resolve.
  jobject file_stream = env->NewObject(file_stream_class, file_stream_constructor, file_name);
  if (file_stream == nullptr) return false;
  jobject print_stream = NewPrintStream(env, file_stream);
  if (print_stream == nullptr) return false;
  jclass system_class = env->FindClass("java/lang/System");
  if (system_class == nullptr) return false;
  jmethodID set_stream = env->GetStaticMethodID(system_class, setter, "(Ljava/io/PrintStream;)V");
  if (set_stream == nullptr) return false;
  env->CallStaticVoidMethod(system_class, set_stream, print_stream);
  DescribePendingException(env);
  return true;
}

void RedirectStandardStream(JNIEnv* env, const std::wstring& path, const char* setter,
                            const std::wstring& stream_name) {
  if (path.empty()) return;
  Trace(L"the VM's " + stream_name + L" goes to " + path);
  // A stream that cannot be redirected stays as the VM set it up; the run goes on.
  if (!RedirectStream(env, path, setter)) DescribePendingException(env);
}

}  // namespace

void RedirectStandardStreams(JNIEnv* env, const std::wstring& output_file,
                             const std::wstring& error_file) {
  RedirectStandardStream(env, output_file, "setOut", L"standard output");
  RedirectStandardStream(env, error_file, "setErr", L"standard error");
}

}  // namespace korvan
