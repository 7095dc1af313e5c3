#include "instance/secondary_request.h"

#include <vector>

#include "instance/argument_area.h"
#include "jvm/java_text.h"
#include "messages/trace.h"
#include "platform/shared/utf_text.h"

namespace korvan {

namespace {

constexpr char kVoidSignature[] = "([Ljava/lang/String;)V";
constexpr char kIntSignature[] = "([Ljava/lang/String;)I";

// The static secondaryMain of `type`, void first; null when it has neither.
// A class without one is a normal case, traced by the caller: the lookups'
// NoSuchMethodError is cleared rather than described on standard error.
jmethodID FindSecondaryMain(JNIEnv* env, jclass type, bool& returns_int) {
  returns_int = false;
  jmethodID method = env->GetStaticMethodID(type, "secondaryMain", kVoidSignature);
  if (env->ExceptionCheck()) env->ExceptionClear();
  if (method != nullptr) return method;
  method = env->GetStaticMethodID(type, "secondaryMain", kIntSignature);
  if (env->ExceptionCheck()) env->ExceptionClear();
  returns_int = method != nullptr;
  return method;
}

}  // namespace

void ServeSecondaryRequest(platform::InstanceRequest& request, const VmSession* session,
                           const std::wstring& main_class) {
  if (session == nullptr) return;
  AttachedThread attached(*session);
  JNIEnv* env = attached.env();
  if (env == nullptr) return;

  // Class names reach FindClass as UTF-8, as the main class does.
  jclass type = env->FindClass(platform::Utf8FromWide(main_class).c_str());
  if (type == nullptr) return;
  bool returns_int = false;
  jmethodID method = FindSecondaryMain(env, type, returns_int);
  if (method == nullptr) {
    Trace(L"single instance: " + main_class + L" has no static secondaryMain");
    return;
  }
  const std::vector<std::uint8_t>& area = request.area();
  const std::optional<std::vector<std::wstring>> arguments =
      DecodeArgumentArea(area.data(), area.size());
  if (!arguments) {
    Trace(L"single instance: a request's argument area is unreadable; ignored");
    return;
  }
  jobjectArray array = NewJavaStringArray(env, *arguments);
  if (array == nullptr) return;
  if (returns_int) {
    const jint code = env->CallStaticIntMethod(type, method, array);
    // A method that threw returned nothing: the second instance fails.
    request.Reply(env->ExceptionCheck() ? -1 : code);
  } else {
    request.Reply(0);
    env->CallStaticVoidMethod(type, method, array);
  }
}

}  // namespace korvan
