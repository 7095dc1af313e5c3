#pragma once
// Small JNI helpers shared by the stream redirection and the stack trace capture.

#include <jni.h>

namespace korvan {

// Prints a pending Java exception, if any, on the VM's standard error (which
// also clears it).
void DescribePendingException(JNIEnv* env);

// A local reference to a new java.io.PrintStream writing to `output_stream`
// (no automatic flushing), or null.
jobject NewPrintStream(JNIEnv* env, jobject output_stream);

}  // namespace korvan
