#pragma once
// The JDK 1.1 initialisation record. Current jni.h headers no longer declare
// it, but VMs still fill its javaStackSize with their default Java thread
// stack size when JNI_GetDefaultJavaVMInitArgs is asked for JNI_VERSION_1_1.
// The layout is the one the JDK 1.1 header published.

#include <jni.h>

#include <cstdarg>
#include <cstdio>

namespace korvan {

struct JDK1_1InitArgs {
  jint version;

  char** properties;
  jint checkSource;
  jint nativeStackSize;
  jint javaStackSize;
  jint minHeapSize;
  jint maxHeapSize;
  jint verifyMode;
  char* classpath;

  jint(JNICALL* vfprintf)(FILE* stream, const char* format, va_list arguments);
  void(JNICALL* exit)(jint code);
  void(JNICALL* abort)();

  jint enableClassGC;
  jint enableVerboseGC;
  jint disableAsyncGC;
  jint verbose;
  jboolean debugging;
  jint debugPort;
};

}  // namespace korvan
