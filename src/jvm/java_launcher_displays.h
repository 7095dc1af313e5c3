#pragma once
// The displays that java's own options ask for (-showversion, -version,
// -XshowSettings), made on the VM thread by the JDK's own code before main.

#include <jni.h>

#include <cstdint>

#include "options/java_launcher_options.h"

namespace korvan {

// Prints what `requests` ask for, as the java command prints it.
// `stack_size` is the "-Xss" size in bytes (0 when none was given).
void ShowJavaLauncherDisplays(JNIEnv* env, const JavaLauncherRequests& requests,
                              std::uint64_t stack_size);

}  // namespace korvan
