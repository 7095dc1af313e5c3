#include "jvm/application_threads.h"
#include "launcher/launcher.h"
#include "launcher/service_host.h"
#include "messages/error_sink.h"
#include "platform/process.h"

namespace korvan {

int RunLauncher(int argc, char** argv) {
  Launcher launcher;
  platform::UseSystemDefaultLocale();
  if (const Outcome failure = Initialize(launcher, platform::ApplicationArguments(argc, argv))) {
    if (launcher.settings.service) UseServiceErrorSink();
    ReportFailure(*failure);
    return -1;
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
