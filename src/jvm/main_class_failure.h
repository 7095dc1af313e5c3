#pragma once
// Why the main class did not load, told from the exception its lookup left.

#include <jni.h>

#include <string>

#include "messages/failure.h"

namespace korvan {

// Takes the exception pending after the main class `class_name` failed to
// load. A class that is not there (NoClassDefFoundError) is described as the
// VM does, then message 215; a class that is there but cannot be linked
// (UnsupportedClassVersionError: built for a newer Java; ClassFormatError, a
// superclass missing...) gets an error line with the VM's own words.
Failure MainClassLoadFailure(JNIEnv* env, const std::wstring& class_name);

}  // namespace korvan
