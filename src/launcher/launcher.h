#pragma once
// The one object of a run: launch settings and run-time state.

#include <jni.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/java_version.h"
#include "settings/launch_settings.h"

namespace korvan {

// The two invocation functions resolved in the JVM library.
using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* arguments);
using GetDefaultJavaVmInitArgsFunction = jint(JNICALL*)(void* arguments);

struct Launcher {
  Launcher() = default;
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;
  ~Launcher();  // teardown: destroys the VM when one was created

  LaunchSettings settings;

  std::wstring jvm_library_path;  // full path of the JVM library to load
  JavaVersion found_version;      // version of the registered runtime chosen
  std::vector<std::wstring> arguments;  // application arguments, then "Cmd" tokens

  CreateJavaVmFunction create_java_vm = nullptr;
  GetDefaultJavaVmInitArgsFunction get_default_java_vm_init_args = nullptr;
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;  // belongs to the VM thread

  std::vector<std::string> vm_options;  // narrow text, handed whole to the VM
  std::wstring output_file;  // the VM's standard output goes here when not empty
  std::wstring error_file;   // the VM's standard error goes here when not empty
  std::uint64_t vm_thread_stack_size = 0;  // bytes; 0 = ask the JVM library

  // Called on the VM thread just before main: the single-instance guard's
  // ready event. Empty when no one waits for it.
  std::function<void()> signal_ready;
};

// Start-up: arguments, settings, working folder, runtime. False ends the run with -1.
bool Initialize(Launcher& launcher, std::vector<std::wstring> arguments);

// Runs the Java application; returns the process exit code (0 or -1).
int RunApplication(Launcher& launcher);

// The process entry: the whole run, returning the exit code.
int RunLauncher(int argc, char** argv);

}  // namespace korvan
