#include "launcher/launcher.h"
#include "launcher/service_host.h"
#include "platform/process.h"

namespace korvan {

int RunLauncher(int argc, char** argv) {
  Launcher launcher;
  platform::UseSystemDefaultLocale();
  if (const Outcome failure = Initialize(launcher, platform::ApplicationArguments(argc, argv))) {
    return EndFailedStartUp(launcher, *failure);
  }
  if (launcher.settings.service) return RunAsService(launcher);
  const int exit_code = RunApplication(launcher);
  if (launcher.instance) launcher.instance->SetExitCode(exit_code);
  return exit_code;
}

}  // namespace korvan
