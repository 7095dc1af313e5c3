#include "launcher/launcher.h"
#include "launcher/service_host.h"
#include "platform/process.h"

namespace korvan {

int RunLauncher(int argc, char** argv) {
  Launcher launcher;
  platform::UseSystemDefaultLocale();
  if (!Initialize(launcher, platform::ApplicationArguments(argc, argv))) return -1;
  if (launcher.settings.service) return RunAsService(launcher);
  return RunApplication(launcher);
}

}  // namespace korvan
