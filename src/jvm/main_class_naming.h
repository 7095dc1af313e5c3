#pragma once
// How the main class is named when a jar or a module names it, done on the VM
// thread as java -jar and java -m do it before the class loads: the jar
// manifest's agent, exports, opens and native access applied; a module's main
// class taken from its descriptor.

#include <jni.h>

#include <functional>
#include <string>

#include "messages/failure.h"
#include "options/main_jar.h"

namespace korvan {

struct MainClassNaming {
  JarLaunch jar;             // a main jar's attributes; empty jar path without one
  std::wstring main_module;  // the main module's name; empty without one
  // Told the class a module named (internal form), before anything waits for
  // main; not called when the settings named the class.
  std::function<void(const std::wstring& main_class)> on_named;
};

// The main class's internal name: `main_class`, or the main module's own when
// that is empty. Message 243 for an Enable-Native-Access value java refuses,
// 247 when the launcher agent fails (described), 244 for a module without a
// main class.
Expected<std::wstring> NameMainClass(JNIEnv* env, const std::wstring& main_class,
                                     const MainClassNaming& naming);

}  // namespace korvan
