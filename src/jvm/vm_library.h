#pragma once
// The JVM library and the two invocation functions the launcher calls in it.

#include <jni.h>

#include <string>

#include "messages/failure.h"

namespace korvan {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* arguments);
using GetDefaultJavaVmInitArgsFunction = jint(JNICALL*)(void* arguments);

struct InvocationFunctions {
  CreateJavaVmFunction create_java_vm = nullptr;
  GetDefaultJavaVmInitArgsFunction get_default_java_vm_init_args = nullptr;
};

// Loads the JVM library (never unloaded) and resolves its invocation
// functions: message 222 when it does not load, 202 around 212 when it lacks them.
Expected<InvocationFunctions> LoadVmLibrary(const std::wstring& path);

}  // namespace korvan
