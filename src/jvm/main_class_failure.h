#pragma once
// Why the main class did not load, told from the exception its lookup left.

#include <jni.h>

#include <string>

#include "messages/failure.h"

namespace korvan {

// Takes the exception pending after the main class `class_name` failed to
// load. A class built for a newer Java (UnsupportedClassVersionError) gets an
// error line that says so. Otherwise the VM describes the exception, then a
// class that is not there (NoClassDefFoundError naming it) gets message 215,
// and one that is there but cannot be linked (a superclass missing, a
// ClassFormatError, its static initializer failing...) a line with the VM's words.
// With `capture`, the exception's stack trace goes with the failure as well.
Failure MainClassLoadFailure(JNIEnv* env, const std::wstring& class_name, bool capture);

}  // namespace korvan
