#pragma once
// Launcher text to Java strings and back. Java strings are made from the
// UTF-16 code units of the text (NewString, see platform/shared/utf_text.h),
// so every character arrives as it was, whatever the VM's default charset or
// the system's code page.

#include <jni.h>

#include <string>
#include <vector>

namespace korvan {

// A local reference to a new java.lang.String, or null (an exception may be pending).
jstring NewJavaString(JNIEnv* env, const std::wstring& text);

// A local reference to a String[] of `texts` in order, or null when the array
// or one of its elements could not be made.
jobjectArray NewJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts);

// The text of a Java string; empty when it cannot be read.
std::wstring WideFromJavaString(JNIEnv* env, jstring text);

}  // namespace korvan
