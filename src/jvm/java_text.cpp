#include "jvm/java_text.h"

#include "platform/shared/utf_text.h"

namespace korvan {

jstring NewJavaString(JNIEnv* env, const std::wstring& text) {
  const std::u16string units = platform::Utf16FromWide(text);
  static_assert(sizeof(jchar) == sizeof(char16_t));
  return env->NewString(reinterpret_cast<const jchar*>(units.data()),
                        static_cast<jsize>(units.size()));
}

jobjectArray NewJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts) {
  jclass string_class = env->FindClass("java/lang/String");
  if (string_class == nullptr) return nullptr;
  jobjectArray array =
      env->NewObjectArray(static_cast<jsize>(texts.size()), string_class, nullptr);
  env->DeleteLocalRef(string_class);
  if (array == nullptr) return nullptr;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    jstring element = NewJavaString(env, texts[i]);
    if (element == nullptr) {
      env->DeleteLocalRef(array);
      return nullptr;
    }
    env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
    env->DeleteLocalRef(element);
  }
  return array;
}

std::wstring WideFromJavaString(JNIEnv* env, jstring text) {
  if (text == nullptr) return std::wstring();
  const jsize length = env->GetStringLength(text);
  const jchar* units = env->GetStringChars(text, nullptr);
  if (units == nullptr) return std::wstring();
  const std::u16string copy(reinterpret_cast<const char16_t*>(units),
                            static_cast<std::size_t>(length));
  env->ReleaseStringChars(text, units);
  return platform::WideFromUtf16(copy);
}

}  // namespace korvan
