/* The smallest JNI host, as a yardstick for the launcher's own cost: load the
 * JVM library, create the VM with a class path, call main, destroy the VM.
 *   minimal_host LIBJVM CLASS_PATH MAIN_CLASS(internal form) [VM option...] */
#include <dlfcn.h>
#include <jni.h>
#include <stdio.h>
#include <string.h>

typedef jint (*CreateVm)(JavaVM**, void**, void*);

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  void* library = dlopen(argv[1], RTLD_NOW);
  CreateVm create = library ? (CreateVm)dlsym(library, "JNI_CreateJavaVM") : NULL;
  if (create == NULL) return 3;
  char class_path[8192];
  snprintf(class_path, sizeof class_path, "-Djava.class.path=%s", argv[2]);
  JavaVMOption options[64];
  int count = 0;
  options[count++].optionString = class_path;
  for (int i = 4; i < argc && count < 64; ++i) options[count++].optionString = argv[i];
  JavaVMInitArgs init = {JNI_VERSION_1_2, count, options, JNI_FALSE};
  JavaVM* vm;
  JNIEnv* env;
  if (create(&vm, (void**)&env, &init) != JNI_OK) return 4;
  jclass main_class = (*env)->FindClass(env, argv[3]);
  jmethodID main_method =
      main_class ? (*env)->GetStaticMethodID(env, main_class, "main", "([Ljava/lang/String;)V") : NULL;
  if (main_method == NULL) return 5;
  jobjectArray arguments =
      (*env)->NewObjectArray(env, 0, (*env)->FindClass(env, "java/lang/String"), NULL);
  (*env)->CallStaticVoidMethod(env, main_class, main_method, arguments);
  int failed = (*env)->ExceptionCheck(env);
  (*vm)->DestroyJavaVM(vm);
  return failed;
}
