#include "jvm/main_class_naming.h"

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "messages/trace.h"

namespace korvan {

namespace {

// A static method of a JDK class, found through JNI, which does not check
// access: the JDK's launcher helpers are not exported. Null (nothing pending)
// when this runtime has no such method.
jmethodID FindStaticMethod(JNIEnv* env, const char* class_name, const char* name,
                           const char* signature, jclass& type) {
  type = env->FindClass(class_name);
  if (type == nullptr) {
    env->ExceptionClear();
    return nullptr;
  }
  jmethodID method = env->GetStaticMethodID(type, name, signature);
  if (method == nullptr) env->ExceptionClear();
  return method;
}

// Each value's module/package items, to all unnamed modules, as java -jar
// does: unknown modules are passed over.
Outcome AddExportsOrOpens(JNIEnv* env, const std::wstring& value, bool open) {
  if (value.empty()) return std::nullopt;
  jclass helper = nullptr;
  jmethodID add = FindStaticMethod(env, "sun/launcher/LauncherHelper", "addExportsOrOpens",
                                   "(Ljava/lang/String;Z)V", helper);
  if (add == nullptr) {
    Trace(L"main jar: this runtime takes no Add-Exports or Add-Opens");
    return std::nullopt;
  }
  env->CallStaticVoidMethod(helper, add, NewJavaString(env, value), open ? JNI_TRUE : JNI_FALSE);
  if (!env->ExceptionCheck()) return std::nullopt;
  DescribePendingException(env);
  return SilentFailure();
}

// Java 22 and later honour the attribute; earlier ones pass it over.
Outcome EnableNativeAccess(JNIEnv* env, const JarLaunch& jar) {
  if (!jar.enable_native_access) return std::nullopt;
  jclass modules = nullptr;
  jmethodID enable = FindStaticMethod(env, "jdk/internal/module/Modules",
                                      "addEnableNativeAccessToAllUnnamed", "()V", modules);
  if (enable == nullptr) {
    Trace(L"main jar: Enable-Native-Access passed over, as this runtime's java -jar does");
    return std::nullopt;
  }
  if (*jar.enable_native_access != L"ALL-UNNAMED") {
    return MessageFailure(MessageId::NativeAccessValueIllegal,
                          {*jar.enable_native_access, jar.jar_path});
  }
  env->CallStaticVoidMethod(modules, enable);
  if (!env->ExceptionCheck()) return std::nullopt;
  DescribePendingException(env);
  return SilentFailure();
}

// The agent's agentmain runs before main, from the jar itself.
Outcome StartLauncherAgent(JNIEnv* env, const JarLaunch& jar) {
  if (jar.launcher_agent_class.empty()) return std::nullopt;
  jclass instrumentation = nullptr;
  jmethodID load = FindStaticMethod(env, "sun/instrument/InstrumentationImpl", "loadAgent",
                                    "(Ljava/lang/String;)V", instrumentation);
  if (load == nullptr) {
    Trace(L"main jar: Launcher-Agent-Class passed over: the runtime has no java.instrument");
    return std::nullopt;
  }
  Trace(L"main jar: starting the agent " + jar.launcher_agent_class);
  env->CallStaticVoidMethod(instrumentation, load, NewJavaString(env, jar.jar_path));
  if (!env->ExceptionCheck()) return std::nullopt;
  DescribePendingException(env);
  return MessageFailure(MessageId::LauncherAgentFailed, {jar.jar_path});
}

Outcome ApplyJarLaunch(JNIEnv* env, const JarLaunch& jar) {
  if (Outcome failure = StartLauncherAgent(env, jar)) return failure;
  if (Outcome failure = AddExportsOrOpens(env, jar.add_exports, false)) return failure;
  if (Outcome failure = AddExportsOrOpens(env, jar.add_opens, true)) return failure;
  return EnableNativeAccess(env, jar);
}

jobject CallObject(JNIEnv* env, jobject target, const char* name, const char* signature,
                   jobject argument = nullptr) {
  if (target == nullptr || env->ExceptionCheck()) return nullptr;
  jclass type = env->GetObjectClass(target);
  jmethodID method = env->GetMethodID(type, name, signature);
  if (method == nullptr) return nullptr;
  return env->CallObjectMethod(target, method, argument);
}

// The binary name in the module's descriptor ("ModuleMainClass"); empty when
// it names none. The module is in the boot layer: the VM resolved it as the
// main module when it was made.
std::wstring DescriptorMainClass(JNIEnv* env, const std::wstring& module_name) {
  jclass layer_class = nullptr;
  jmethodID boot = FindStaticMethod(env, "java/lang/ModuleLayer", "boot",
                                    "()Ljava/lang/ModuleLayer;", layer_class);
  if (boot == nullptr) return std::wstring();
  jobject layer = env->CallStaticObjectMethod(layer_class, boot);
  jstring name_text = env->ExceptionCheck() ? nullptr : NewJavaString(env, module_name);
  jobject found =
      CallObject(env, layer, "findModule", "(Ljava/lang/String;)Ljava/util/Optional;", name_text);
  jobject module = CallObject(env, found, "orElse", "(Ljava/lang/Object;)Ljava/lang/Object;");
  jobject descriptor =
      CallObject(env, module, "getDescriptor", "()Ljava/lang/module/ModuleDescriptor;");
  jobject main_class = CallObject(env, descriptor, "mainClass", "()Ljava/util/Optional;");
  jobject name = CallObject(env, main_class, "orElse", "(Ljava/lang/Object;)Ljava/lang/Object;");
  DescribePendingException(env);
  return WideFromJavaString(env, static_cast<jstring>(name));
}

// java -m records the class it runs in "jdk.module.main.class".
void RecordModuleMainClass(JNIEnv* env, const std::wstring& binary_name) {
  jclass system = nullptr;
  jmethodID set_property =
      FindStaticMethod(env, "java/lang/System", "setProperty",
                       "(Ljava/lang/String;Ljava/lang/String;)Ljava/lang/String;", system);
  if (set_property == nullptr) return;
  env->CallStaticObjectMethod(system, set_property, NewJavaString(env, L"jdk.module.main.class"),
                              NewJavaString(env, binary_name));
  DescribePendingException(env);
}

std::wstring SwapSeparators(std::wstring name, wchar_t from, wchar_t to) {
  for (wchar_t& c : name) {
    if (c == from) c = to;
  }
  return name;
}

}  // namespace

Expected<std::wstring> NameMainClass(JNIEnv* env, const std::wstring& main_class,
                                     const MainClassNaming& naming) {
  if (!naming.jar.jar_path.empty()) {
    if (Outcome failure = ApplyJarLaunch(env, naming.jar)) return *failure;
    return main_class;
  }
  if (naming.main_module.empty()) return main_class;
  std::wstring named = main_class;
  if (named.empty()) {
    named = SwapSeparators(DescriptorMainClass(env, naming.main_module), L'.', L'/');
    if (named.empty()) {
      return MessageFailure(MessageId::ModuleNamesNoMainClass,
                            {naming.main_module, naming.main_module});
    }
    Trace(L"main module " + naming.main_module + L" names its main class " + named);
    if (naming.on_named) naming.on_named(named);
  }
  RecordModuleMainClass(env, SwapSeparators(named, L'/', L'.'));
  return named;
}

}  // namespace korvan
