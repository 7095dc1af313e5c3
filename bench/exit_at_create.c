/* A stand-in JVM library for the pre-VM benchmark: it ends the process the
 * moment the VM would be created, so a run measures only the host's own work
 * (settings, runtime search, options, library loading). */
#include <jni.h>
#include <unistd.h>

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments) {
  (void)arguments;
  return JNI_OK;
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
  (void)vm;
  (void)env;
  (void)arguments;
  _exit(0);
}
