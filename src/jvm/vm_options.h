#pragma once
// Everything the VM thread needs, worked out before it starts: the VM options,
// the thread's stack size, the stream files and the application arguments.

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "messages/failure.h"
#include "options/application_entry.h"
#include "options/java_launcher_options.h"
#include "platform/memory.h"
#include "settings/launch_settings.h"

namespace korvan {

struct VmPlan {
  std::vector<std::string> options;  // narrow text, handed whole to the VM
  std::uint64_t thread_stack_size = 0;  // bytes; 0 = ask the JVM library
  std::wstring output_file;  // the VM's standard output goes here when not empty
  std::wstring error_file;   // the VM's standard error goes here when not empty
  std::vector<std::wstring> arguments;  // application arguments, then "Cmd" tokens
  std::wstring class_path;              // as the VM gets it; its first jar may name a splash image
  JavaLauncherRequests requests;        // displays and the splash image asked for as java options
  // Handed to the VM as its "exit" hook: called when the application ends the
  // process (System.exit), after the VM's own exit work and before the end.
  void(JNICALL* exit_hook)(jint code) = nullptr;
  // The windowed launcher keeps what the VM says while it is created, for
  // its error box (jvm/vm_text_capture.h).
  bool keep_vm_text = false;
};

// The plan for the class-path group of settings: `library_path_option` first
// (as it is, when not empty), the class path (wildcards expanded when the
// settings ask), then the VM parameters with argument files read, java
// command options translated, percentage sizes of `memory` and references
// expanded, then the identity options that name the entry and the arguments
// for monitoring tools, and a main module's options; the stream files expanded;
// `arguments` followed by the tokens of "Cmd". A java command option that is
// not taken here fails with its message.
Expected<VmPlan> BuildVmPlan(const ClassPathGroup& group, const platform::MemoryFigures& memory,
                             const std::wstring& library_path_option, const ApplicationEntry& entry,
                             std::vector<std::wstring> arguments);

}  // namespace korvan
