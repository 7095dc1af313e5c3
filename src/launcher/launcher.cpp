#include "launcher/launcher.h"

#include <utility>

#include "jvm/environment_setup.h"
#include "jvm/vm_library.h"
#include "jvm/vm_options.h"
#include "jvm/vm_thread.h"
#include "messages/trace.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "runtime/runtime_search.h"
#include "settings/settings_paths.h"

namespace korvan {

Launcher::~Launcher() {
  // Waits for the application's other non-daemon threads to end.
  if (vm != nullptr) vm->DestroyJavaVM();
}

namespace {

void ApplyWorkingDirectoryOverride() {
  std::wstring module_path;
  if (!GetModulePath(module_path)) return;
  const std::size_t last = module_path.rfind(platform::GetPathRules().separator);
  if (last == std::wstring::npos || last == 0) return;
  const std::wstring folder = module_path.substr(0, last);
  // A failure leaves the inherited folder.
  if (platform::ChangeCurrentDirectory(folder)) {
    Trace(L"working folder: " + folder);
  } else {
    Trace(L"working folder left as inherited: cannot change to " + folder);
  }
}

}  // namespace

bool Initialize(Launcher& launcher, std::vector<std::wstring> arguments) {
  launcher.arguments = std::move(arguments);

  std::wstring settings_file;
  if (!GetSettingsFilePath(settings_file)) return false;
  Trace(L"settings file: " + settings_file);

  if (!ReadLaunchSettings(launcher)) return false;

  if (launcher.settings.override_working_directory) ApplyWorkingDirectoryOverride();

  if (SearchRuntime(launcher)) {
    Trace(L"JVM library: " + launcher.jvm_library_path);
    return true;
  }
  ReportMissingRuntime(launcher);
  return false;
}

int RunApplication(Launcher& launcher) {
  PrepareEnvironment(launcher);
  if (!LoadVmLibrary(launcher)) return -1;
  if (!AssembleVmOptions(launcher)) return -1;
  return RunVmThread(launcher) == 0 ? 0 : -1;
}

}  // namespace korvan
