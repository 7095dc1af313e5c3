#include "archive/aot_cache_assembly.h"
#include "jvm/application_threads.h"
#include "launcher/launcher.h"
#include "launcher/service_host.h"
#include "launcher/windowed_start.h"
#include "platform/process.h"

#include <utility>

namespace korvan {

int RunLauncher(int argc, char** argv) {
  // First: whatever is written later reaches a redirected start's handles.
  PrepareWindowedStart();
  platform::KeepCurrentFolderOutOfLibrarySearch();
  Launcher launcher;
  platform::UseSystemDefaultLocale();
  std::vector<std::wstring> arguments = platform::ApplicationArguments(argc, argv);
  // Started by an earlier run of this launcher to assemble its AOT cache.
  if (const std::optional<int> code = AssembleAotCacheWhenAsked(arguments)) return *code;
  if (const Outcome failure = Initialize(launcher, std::move(arguments))) {
    return EndFailedStartUp(launcher, *failure);
  }
  if (launcher.settings.service) return RunAsService(launcher);
  const int exit_code = RunApplication(launcher);
  if (launcher.instance && launcher.instance->first()) {
    launcher.instance->SetExitCode(exit_code);
    // Later starts are served for as long as the application runs, also on
    // its own threads after main returned. Then handlers stop: they reach into
    // the launcher and attach to the VM, and none may run once the VM is
    // being destroyed, nor after the launcher is gone.
    if (launcher.vm) WaitForApplicationThreads(*launcher.vm);
    launcher.instance->StopServing();
  }
  return exit_code;
}

}  // namespace korvan
