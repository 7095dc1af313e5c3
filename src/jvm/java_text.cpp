#include "jvm/java_text.h"

namespace korvan {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::u16string Utf16FromWide(const std::wstring& text) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    return std::u16string(text.begin(), text.end());
  }
  std::u16string result;
  result.reserve(text.size());
  for (wchar_t unit : text) {
    char32_t c = static_cast<char32_t>(unit);
    if (IsSurrogate(c) || c > 0x10FFFF) c = kReplacementCharacter;
    if (c < 0x10000) {
      result += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      result += static_cast<char16_t>(0xD800 + (c >> 10));
      result += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return result;
}

std::wstring WideFromUtf16(const std::u16string& text) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    return std::wstring(text.begin(), text.end());
  }
  std::wstring result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t high = text[i];
    const char32_t low = i + 1 < text.size() ? text[i + 1] : 0;
    if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
      result += static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
      ++i;
    } else {
      result += static_cast<wchar_t>(IsSurrogate(high) ? kReplacementCharacter : high);
    }
  }
  return result;
}

jstring NewJavaString(JNIEnv* env, const std::wstring& text) {
  const std::u16string units = Utf16FromWide(text);
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
  return WideFromUtf16(copy);
}

}  // namespace korvan
