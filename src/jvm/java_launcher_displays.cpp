#include "jvm/java_launcher_displays.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "messages/trace.h"

namespace korvan {

namespace {

// The JDK's classes behind the java command's displays; JNI does not check
// access, and their signatures are the same from 11 to 25.
void CallDisplay(JNIEnv* env, const wchar_t* option, const char* class_name,
                 const char* method_name, const char* signature, const jvalue* arguments) {
  jclass type = env->FindClass(class_name);
  jmethodID method = type == nullptr ? nullptr : env->GetStaticMethodID(type, method_name, signature);
  if (method == nullptr) {
    env->ExceptionClear();
    Trace(std::wstring(L"this runtime cannot show what ") + option + L" asks for");
    return;
  }
  env->CallStaticVoidMethodA(type, method, arguments);
  DescribePendingException(env);
}

}  // namespace

void ShowJavaLauncherDisplays(JNIEnv* env, const JavaLauncherRequests& requests,
                              std::uint64_t stack_size) {
  if (!requests.show_settings.empty()) {
    // Heap sizes of 0 let the runtime state its own.
    jvalue arguments[5];
    arguments[0].z = JNI_TRUE;
    arguments[1].l = NewJavaString(env, requests.show_settings);
    arguments[2].j = 0;
    arguments[3].j = 0;
    arguments[4].j = static_cast<jlong>(stack_size);
    CallDisplay(env, L"-XshowSettings", "sun/launcher/LauncherHelper", "showSettings", "(ZLjava/lang/String;JJJ)V",
                arguments);
  }
  if (requests.version != VersionDisplay::None) {
    jvalue to_error;
    to_error.z = requests.version == VersionDisplay::StandardError ? JNI_TRUE : JNI_FALSE;
    CallDisplay(env, L"-version", "java/lang/VersionProps", "print", "(Z)V", &to_error);
  }
}

}  // namespace korvan
