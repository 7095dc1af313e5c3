#pragma once
// The one object of a run: it holds what each start-up step produced, and
// owns the VM session for the rest of the process.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jvm/main_invocation.h"
#include "jvm/vm_session.h"
#include "messages/failure.h"
#include "options/main_jar.h"
#include "platform/instance_channel.h"
#include "runtime/runtime_search.h"
#include "settings/launch_settings.h"
#include "settings/settings_source.h"

namespace korvan {

struct Launcher {
  std::vector<std::wstring> arguments;  // the application arguments of the command line
  SettingsSource settings_source;
  LaunchSettings settings;
  MainJar main_jar;  // what the "Main Jar" manifest says; empty without one
  RuntimeSearchResult runtime;
  std::vector<std::string> host_vm_options;  // what a service host needs of the VM (Linux: -Xrs)
  // What a service host does when the application ends the process
  // (System.exit), after the VM's own exit work; null for none.
  void (*host_exit_hook)(int exit_code) = nullptr;
  // The single-instance rendezvous; null when the guard is off. It stops
  // serving before the VM is destroyed (RunLauncher) and is released after.
  std::unique_ptr<platform::InstanceChannel> instance;
  // Declared last, so destroyed first: its destruction waits for the
  // application's non-daemon threads.
  std::unique_ptr<VmSession> vm;
};

// Start-up: the single-instance guard, settings, main jar, working folder, runtime. A
// second instance hands its arguments over and stops there. A failure ends
// the run with -1.
Outcome Initialize(Launcher& launcher, std::vector<std::wstring> arguments);

// A second instance waits for the first one's reply and returns it.
// Otherwise runs the Java application: environment, JVM library, VM options, the VM
// thread. `extra_arguments` follow the command line's (a service's start
// arguments); `on_ready` runs on the VM thread just before main. Failures are
// reported; returns the process exit code (0, or -1 for a failed run).
int RunApplication(Launcher& launcher, const std::vector<std::wstring>& extra_arguments = {},
                   const ReadyCallback& on_ready = {});

// The process entry: the whole run, returning the exit code.
int RunLauncher(int argc, char** argv);

}  // namespace korvan
