#include "jvm/main_method.h"

#include <algorithm>
#include <array>

#include "jvm/java_text.h"
#include "messages/trace.h"

namespace korvan {

namespace {

constexpr const char* kWithArguments = "([Ljava/lang/String;)V";
constexpr const char* kWithoutArguments = "()V";
constexpr jint kPrivate = 0x0002;   // java.lang.reflect.Modifier.PRIVATE
constexpr jint kAbstract = 0x0400;  // java.lang.reflect.Modifier.ABSTRACT (interfaces too)

struct MainCandidate {
  MainForm form;
  const char* signature;
  bool instance;
};

constexpr MainCandidate kStaticWithArguments{MainForm::StaticWithArguments, kWithArguments, false};
constexpr MainCandidate kStaticWithoutArguments{MainForm::StaticWithoutArguments,
                                                kWithoutArguments, false};
constexpr MainCandidate kInstanceWithArguments{MainForm::InstanceWithArguments, kWithArguments,
                                               true};
constexpr MainCandidate kInstanceWithoutArguments{MainForm::InstanceWithoutArguments,
                                                  kWithoutArguments, true};

// The candidates in the order the protocol tries them.
std::array<MainCandidate, 4> CandidatesOf(LaunchProtocol protocol) {
  if (protocol == LaunchProtocol::StaticMainsFirst) {
    return {kStaticWithArguments, kStaticWithoutArguments, kInstanceWithArguments,
            kInstanceWithoutArguments};
  }
  return {kStaticWithArguments, kInstanceWithArguments, kStaticWithoutArguments,
          kInstanceWithoutArguments};
}

const wchar_t* FormName(MainForm form) {
  switch (form) {
    case MainForm::StaticWithArguments: return L"static main(String[])";
    case MainForm::StaticWithoutArguments: return L"static main()";
    case MainForm::InstanceWithArguments: return L"instance main(String[])";
    case MainForm::InstanceWithoutArguments: return L"instance main()";
    case MainForm::JavaFxApplication: return L"JavaFX Application.launch";
  }
  return L"";
}

// The modifiers of a class (Class.getModifiers) or of a member reflected from
// it; -1 when they cannot be read.
jint ModifiersOf(JNIEnv* env, jobject reflected) {
  if (reflected == nullptr) return -1;
  jclass type = env->GetObjectClass(reflected);
  jmethodID get_modifiers = env->GetMethodID(type, "getModifiers", "()I");
  if (get_modifiers == nullptr) {
    env->ExceptionClear();
    return -1;
  }
  const jint modifiers = env->CallIntMethod(reflected, get_modifiers);
  if (env->ExceptionCheck()) {
    env->ExceptionClear();
    return -1;
  }
  return modifiers;
}

// A method the class declares or inherits, when it is not private; null
// otherwise. `any_access` keeps the old launchers' rule, which took a
// static main(String[]) of any access.
jmethodID NonPrivateMethod(JNIEnv* env, jclass type, const char* name, const char* signature,
                           bool instance, bool any_access = false) {
  jmethodID method = instance ? env->GetMethodID(type, name, signature)
                              : env->GetStaticMethodID(type, name, signature);
  if (method == nullptr) {
    env->ExceptionClear();  // NoSuchMethodError: this form is not there
    return nullptr;
  }
  if (any_access) return method;
  const jint modifiers = ModifiersOf(env, env->ToReflectedMethod(type, method, !instance));
  return modifiers >= 0 && (modifiers & kPrivate) == 0 ? method : nullptr;
}

std::wstring ClassNameOf(JNIEnv* env, jclass type) {
  jclass class_class = env->GetObjectClass(type);
  jmethodID get_name = env->GetMethodID(class_class, "getName", "()Ljava/lang/String;");
  if (get_name == nullptr) {
    env->ExceptionClear();
    return std::wstring();
  }
  auto name = static_cast<jstring>(env->CallObjectMethod(type, get_name));
  if (env->ExceptionCheck()) {
    env->ExceptionClear();
    return std::wstring();
  }
  return WideFromJavaString(env, name);
}

// javafx.application.Application among the superclasses of `main_class`, or
// null. Compared by name, so a class path without JavaFX loads nothing more.
jclass JavaFxApplicationOf(JNIEnv* env, jclass main_class) {
  for (jclass type = env->GetSuperclass(main_class); type != nullptr;
       type = env->GetSuperclass(type)) {
    if (ClassNameOf(env, type) == L"javafx.application.Application") return type;
  }
  return nullptr;
}

// The entry of an instance form: the class must be concrete, with a
// constructor without parameters that is not private.
Expected<MainEntry> InstanceEntry(JNIEnv* env, jclass main_class, const std::wstring& class_name,
                                  MainForm form, jmethodID method) {
  const jint class_modifiers = ModifiersOf(env, main_class);
  if (class_modifiers >= 0 && (class_modifiers & kAbstract) != 0) {
    return MessageFailure(MessageId::MainClassAbstract, {class_name});
  }
  jmethodID constructor = env->GetMethodID(main_class, "<init>", "()V");
  if (constructor == nullptr) env->ExceptionClear();
  if (constructor == nullptr ||
      (ModifiersOf(env, env->ToReflectedMethod(main_class, constructor, JNI_FALSE)) & kPrivate) !=
          0) {
    return MessageFailure(MessageId::MainClassConstructorMissing, {class_name});
  }
  return MainEntry{form, method, constructor, nullptr};
}

}  // namespace

LaunchProtocol LaunchProtocolOf(int feature_release, bool preview_enabled) {
  if (feature_release >= 25 || (feature_release >= 22 && preview_enabled)) {
    return LaunchProtocol::ArgumentsFirst;
  }
  if (feature_release == 21 && preview_enabled) return LaunchProtocol::StaticMainsFirst;
  return LaunchProtocol::StaticMainOnly;
}

int RunningFeatureRelease(JNIEnv* env) {
  jclass system = env->FindClass("java/lang/System");
  jmethodID get_property = system == nullptr ? nullptr
                                             : env->GetStaticMethodID(system, "getProperty",
                                                 "(Ljava/lang/String;)Ljava/lang/String;");
  jstring key = get_property == nullptr ? nullptr
                                        : env->NewStringUTF("java.class.version");
  auto value = key == nullptr ? nullptr
                              : static_cast<jstring>(env->CallStaticObjectMethod(
                                    system, get_property, key));
  if (env->ExceptionCheck() || value == nullptr) {
    env->ExceptionClear();
    return 0;
  }
  // Class file version 52 is Java 8, each release since adds one.
  const std::wstring text = WideFromJavaString(env, value);
  const std::size_t digits = std::min<std::size_t>(text.find_first_not_of(L"0123456789"), 4);
  const int class_file_major = digits == 0 ? 0 : std::stoi(text.substr(0, digits));
  return class_file_major > 44 ? class_file_major - 44 : 0;
}

Expected<MainEntry> FindMainEntry(JNIEnv* env, jclass main_class, const std::wstring& class_name,
                                  LaunchProtocol protocol) {
  std::array<MainCandidate, 4> candidates = CandidatesOf(protocol);
  const size_t count = protocol == LaunchProtocol::StaticMainOnly ? 1 : candidates.size();
  for (size_t i = 0; i < count; ++i) {
    const MainCandidate& candidate = candidates[i];
    jmethodID method = NonPrivateMethod(env, main_class, "main", candidate.signature,
                                        candidate.instance,
                                        protocol == LaunchProtocol::StaticMainOnly);
    if (method == nullptr) continue;
    Trace(std::wstring(L"main method: ") + FormName(candidate.form));
    if (!candidate.instance) return MainEntry{candidate.form, method, nullptr, nullptr};
    return InstanceEntry(env, main_class, class_name, candidate.form, method);
  }

  if (jclass application = JavaFxApplicationOf(env, main_class)) {
    jmethodID launch = env->GetStaticMethodID(application, "launch",
                                              "(Ljava/lang/Class;[Ljava/lang/String;)V");
    if (launch != nullptr) {
      Trace(std::wstring(L"main method: ") + FormName(MainForm::JavaFxApplication));
      return MainEntry{MainForm::JavaFxApplication, launch, nullptr, application};
    }
    env->ExceptionClear();
  }
  return MessageFailure(MessageId::MainMethodNotFound);
}

void EnterMain(JNIEnv* env, jclass main_class, const MainEntry& entry, jobjectArray arguments,
               const std::function<void()>& on_ready) {
  jobject instance = nullptr;
  if (entry.constructor != nullptr) {
    instance = env->NewObject(main_class, entry.constructor);
    if (instance == nullptr) return;  // the constructor's exception is pending
  }
  if (on_ready) on_ready();
  switch (entry.form) {
    case MainForm::StaticWithArguments:
      env->CallStaticVoidMethod(main_class, entry.method, arguments);
      break;
    case MainForm::StaticWithoutArguments:
      env->CallStaticVoidMethod(main_class, entry.method);
      break;
    case MainForm::InstanceWithArguments:
      env->CallVoidMethod(instance, entry.method, arguments);
      break;
    case MainForm::InstanceWithoutArguments:
      env->CallVoidMethod(instance, entry.method);
      break;
    case MainForm::JavaFxApplication:
      env->CallStaticVoidMethod(entry.javafx_application, entry.method, main_class, arguments);
      break;
  }
}

}  // namespace korvan
