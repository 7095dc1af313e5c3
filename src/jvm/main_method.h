#pragma once
// Which entry point of the main class a launch calls, as the runtime's own
// launcher would choose it: every runtime takes a static main(String[]); the
// launch protocol of Java 25 (and of 21 to 24 with preview features) also
// takes a static main() and instance mains; a JavaFX application class
// without a main is started through JavaFX's own launch.

#include <jni.h>

#include <functional>
#include <string>

#include "messages/failure.h"

namespace korvan {

enum class LaunchProtocol {
  StaticMainOnly,        // before 21, and 21 to 24 without preview features
  StaticMainsFirst,      // 21 with preview features: static mains before instance mains
  ArgumentsFirst,        // 22 and later: main(String[]) before main(), each static or instance
};

// The protocol of a runtime of `feature_release` (25 for Java 25).
LaunchProtocol LaunchProtocolOf(int feature_release, bool preview_enabled);

// The feature release of the running VM, from the class file version it
// reads ("java.class.version": "52.0" for Java 8, "69.0" for Java 25); 0 when
// it cannot be read.
int RunningFeatureRelease(JNIEnv* env);

enum class MainForm {
  StaticWithArguments,
  StaticWithoutArguments,
  InstanceWithArguments,
  InstanceWithoutArguments,
  JavaFxApplication,  // javafx.application.Application.launch(class, arguments)
};

struct MainEntry {
  MainForm form;
  jmethodID method;             // the main method, or Application.launch
  jmethodID constructor;        // the instance forms' no-argument constructor
  jclass javafx_application;    // the JavaFX form's javafx.application.Application
};

// The entry point of `main_class` under `protocol`, or the error line that
// says why it has none. Leaves no exception pending.
Expected<MainEntry> FindMainEntry(JNIEnv* env, jclass main_class, const std::wstring& class_name,
                                  LaunchProtocol protocol);

// Calls `entry` with `arguments`: an instance form's object is made first, and
// `on_ready` runs just before the call (not when the constructor threw). An
// exception that escapes is left pending.
void EnterMain(JNIEnv* env, jclass main_class, const MainEntry& entry, jobjectArray arguments,
               const std::function<void()>& on_ready);

}  // namespace korvan
