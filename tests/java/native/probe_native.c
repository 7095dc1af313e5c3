/* A JNI library of the tests' own, loaded by the probe with System.loadLibrary. */
#include <jni.h>

JNIEXPORT jstring JNICALL Java_korvan_probe_Probe_nativeGreeting(JNIEnv* env, jclass probe) {
  (void)probe;
  return (*env)->NewStringUTF(env, "hello from native");
}
