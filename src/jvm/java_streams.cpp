#include "jvm/java_streams.h"

namespace korvan {

void DescribePendingException(JNIEnv* env) {
  if (env->ExceptionCheck()) env->ExceptionDescribe();
}

jobject NewPrintStream(JNIEnv* env, jobject output_stream) {
  jclass print_stream_class = env->FindClass("java/io/PrintStream");
  if (print_stream_class == nullptr) return nullptr;
  jmethodID constructor =
      env->GetMethodID(print_stream_class, "<init>", "(Ljava/io/OutputStream;)V");
  jobject print_stream =
      constructor != nullptr ? env->NewObject(print_stream_class, constructor, output_stream)
                             : nullptr;
  env->DeleteLocalRef(print_stream_class);
  return print_stream;
}

}  // namespace korvan
