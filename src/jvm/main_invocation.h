#pragma once
// The VM thread's last part: find the main class, call its main with the
// argument list, and tell how it ended.

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

#include "jvm/main_class_naming.h"
#include "messages/failure.h"

namespace korvan {

struct MainCall {
  std::wstring main_class;               // internal form: com/example/App; empty when a module names it
  std::vector<std::wstring> arguments;   // handed to main as a String[]
  bool failure_check = false;            // capture the stack trace of an uncaught exception or a failed
                                         // main class lookup (kept as `described`)
  bool show_uncaught_exception = false;  // and let the user stop the process there (not for a service)
  bool preview_enabled = false;          // "--enable-preview" among the VM options
  MainClassNaming naming;                // a main jar's or main module's part in naming the class
};

// Called on the VM thread just before main; empty when no one waits for it.
using ReadyCallback = std::function<void()>;

// Calls the main class's main on the VM thread, then detaches the
// thread from `vm`. A failure when main could not be called (with its
// message), ended with an uncaught exception (already described, so silent),
// or the thread could not detach.
Outcome InvokeMain(JNIEnv* env, JavaVM* vm, const MainCall& call, const ReadyCallback& on_ready);

// The stack trace of `thrown` as printStackTrace writes it; empty on any failure.
std::wstring CaptureStackTrace(JNIEnv* env, jthrowable thrown);

}  // namespace korvan
