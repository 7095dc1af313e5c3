// The order of the main invocation against a scripted JNIEnv: when the ready
// hook fires, that the thread always detaches, and which outcomes fail the run.
#include "jvm/main_invocation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"

namespace korvan {
namespace {

// What the scripted VM does, and what it saw.
struct Script {
  bool class_found = true;
  bool main_found = true;
  bool lookup_throws = true;  // a failed lookup leaves an exception pending
  bool strings_made = true;
  bool main_throws = false;
  bool detach_succeeds = true;
  std::vector<std::string> calls;
  bool pending = false;
};

Script* script = nullptr;

jobject Handle() { return reinterpret_cast<jobject>(script); }

void Note(const char* call) { script->calls.push_back(call); }

jclass JNICALL FindClass(JNIEnv*, const char* name) {
  Note("FindClass");
  if (std::strcmp(name, "java/lang/String") == 0 || script->class_found) {
    return static_cast<jclass>(Handle());
  }
  script->pending = true;
  return nullptr;
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass, const char*, const char*) {
  Note("GetStaticMethodID");
  if (script->main_found) return reinterpret_cast<jmethodID>(script);
  script->pending = script->lookup_throws;
  return nullptr;
}

jstring JNICALL NewString(JNIEnv*, const jchar*, jsize) {
  if (script->strings_made) return static_cast<jstring>(Handle());
  script->pending = true;
  return nullptr;
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring, jboolean*) { return "com/example/App"; }
void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char*) {}
void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize, jclass, jobject) {
  Note("NewObjectArray");
  return static_cast<jobjectArray>(Handle());
}

void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass, jmethodID, va_list) {
  Note("main");
  script->pending = script->main_throws;
}

jboolean JNICALL ExceptionCheck(JNIEnv*) { return script->pending; }

jthrowable JNICALL ExceptionOccurred(JNIEnv*) {
  return script->pending ? static_cast<jthrowable>(Handle()) : nullptr;
}

void JNICALL ExceptionDescribe(JNIEnv*) {
  Note("ExceptionDescribe");
  script->pending = false;
}

jint JNICALL DetachCurrentThread(JavaVM*) {
  Note("DetachCurrentThread");
  return script->detach_succeeds ? JNI_OK : JNI_ERR;
}

struct InvocationCase {
  std::string name;
  Script script;
  bool succeeds;
  std::vector<std::string> calls;  // with "ready" where the hook fired
  std::string message;  // of the failure; empty when there is none or it is silent
};

class InvokeMainTest : public testing::TestWithParam<InvocationCase> {};

TEST_P(InvokeMainTest, FollowsTheOrderOfTheInvocation) {
  JNINativeInterface_ env_table{};
  env_table.FindClass = FindClass;
  env_table.GetStaticMethodID = GetStaticMethodID;
  env_table.NewString = NewString;
  env_table.GetStringUTFChars = GetStringUTFChars;
  env_table.ReleaseStringUTFChars = ReleaseStringUTFChars;
  env_table.DeleteLocalRef = DeleteLocalRef;
  env_table.NewObjectArray = NewObjectArray;
  env_table.SetObjectArrayElement = SetObjectArrayElement;
  env_table.CallStaticVoidMethodV = CallStaticVoidMethodV;
  env_table.ExceptionCheck = ExceptionCheck;
  env_table.ExceptionOccurred = ExceptionOccurred;
  env_table.ExceptionDescribe = ExceptionDescribe;
  JNIInvokeInterface_ vm_table{};
  vm_table.DetachCurrentThread = DetachCurrentThread;
  JNIEnv env{&env_table};
  JavaVM vm{&vm_table};

  Script current = GetParam().script;
  script = &current;
  const MainCall call{L"com/example/App", {L"a", L"b"}, false};
  const Outcome outcome = InvokeMain(&env, &vm, call, [] { Note("ready"); });
  script = nullptr;

  EXPECT_EQ(!outcome, GetParam().succeeds);
  EXPECT_EQ(current.calls, GetParam().calls);
  EXPECT_EQ(outcome ? platform::NarrowFromWide(outcome->text) : "", GetParam().message);
}

Script With(void (*change)(Script&)) {
  Script result;
  change(result);
  return result;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvokeMainTest,
    testing::Values(
        InvocationCase{"MainReturns", Script{}, true,
                       {"FindClass", "GetStaticMethodID", "FindClass", "NewObjectArray", "ready",
                        "main", "DetachCurrentThread"},
                       ""},
        // The failure of the run comes after the description, and the thread still detaches.
        InvocationCase{"MainThrows", With([](Script& s) { s.main_throws = true; }), false,
                       {"FindClass", "GetStaticMethodID", "FindClass", "NewObjectArray", "ready",
                        "main", "ExceptionDescribe", "DetachCurrentThread"},
                       ""},
        InvocationCase{"DetachFails", With([](Script& s) { s.detach_succeeds = false; }), false,
                       {"FindClass", "GetStaticMethodID", "FindClass", "NewObjectArray", "ready",
                        "main", "DetachCurrentThread"},
                       ""},
        // Failures before main: no ready signal, and a detached thread all the same.
        InvocationCase{"ClassMissing", With([](Script& s) { s.class_found = false; }), false,
                       {"FindClass", "ExceptionDescribe", "DetachCurrentThread"},
                       "Could not find the main class com/example/App.\n"},
        InvocationCase{"MainMissing", With([](Script& s) { s.main_found = false; }), false,
                       {"FindClass", "GetStaticMethodID", "ExceptionDescribe",
                        "DetachCurrentThread"},
                       ""},
        InvocationCase{"MainMissingWithoutException",
                       With([](Script& s) {
                         s.main_found = false;
                         s.lookup_throws = false;
                       }),
                       false, {"FindClass", "GetStaticMethodID", "DetachCurrentThread"},
                       "No main method found in specified class.\n"},
        InvocationCase{"ClassNameCannotBeMade", With([](Script& s) { s.strings_made = false; }),
                       false, {"ExceptionDescribe", "DetachCurrentThread"},
                       "Failed to load Main Class: com/example/App.\n"}),
    [](const testing::TestParamInfo<InvocationCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korvan
