#include "launcher/launcher.h"

#include <utility>

#include "jvm/environment_setup.h"
#include "jvm/vm_library.h"
#include "jvm/vm_options.h"
#include "jvm/vm_thread.h"
#include "launcher/runtime_choice.h"
#include "messages/error_sink.h"
#include "messages/trace.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "settings/settings_location.h"
#include "settings/settings_paths.h"

namespace korvan {

namespace {

void ApplyWorkingDirectoryOverride(const std::wstring& launcher_path) {
  std::wstring folder = FolderOf(launcher_path);
  if (folder.size() < 2) return;  // no folder, or the root itself
  folder.pop_back();
  // A failure leaves the inherited folder.
  if (platform::ChangeCurrentDirectory(folder)) {
    Trace(L"working folder: " + folder);
  } else {
    Trace(L"working folder left as inherited: cannot change to " + folder);
  }
}

// The run's part after start-up; failures come back as values.
Outcome RunJavaApplication(Launcher& launcher, std::vector<std::wstring> arguments,
                           const ReadyCallback& on_ready) {
  const std::wstring library_path_option =
      PrepareEnvironment(launcher.settings, launcher.runtime.jvm_library_path,
                         FolderOf(launcher.settings_source.launcher_path));
  Expected<InvocationFunctions> functions = LoadVmLibrary(launcher.runtime.jvm_library_path);
  if (!functions) return functions.failure();
  Expected<ClassPathGroup> group = ReadClassPathGroup(launcher.settings_source);
  if (!group) return group.failure();

  const VmPlan plan = BuildVmPlan(*group, platform::ReadMemoryFigures(), library_path_option,
                                  std::move(arguments));
  const MainCall call{launcher.settings.main_class, plan.arguments, launcher.settings.failure_check,
                      launcher.settings.failure_check && !launcher.settings.service};
  launcher.vm = std::make_unique<VmSession>(*functions);
  return RunVmThread(*launcher.vm, plan, call, on_ready);
}

}  // namespace

Outcome Initialize(Launcher& launcher, std::vector<std::wstring> arguments) {
  launcher.arguments = std::move(arguments);

  Expected<SettingsSource> source = OpenSettingsSource();
  if (!source) return source.failure();
  launcher.settings_source = std::move(*source);

  Expected<LaunchSettings> settings = ReadLaunchSettings(launcher.settings_source);
  if (!settings) return settings.failure();
  launcher.settings = std::move(*settings);

  if (launcher.settings.override_working_directory) {
    ApplyWorkingDirectoryOverride(launcher.settings_source.launcher_path);
  }

  std::optional<RuntimeSearchResult> runtime =
      SearchRuntime(launcher.settings, FolderOf(launcher.settings_source.launcher_path));
  if (runtime) {
    launcher.runtime = std::move(*runtime);
  } else if (const Outcome failure = ChooseRuntime(launcher)) {
    return failure;
  }
  Trace(L"JVM library: " + launcher.runtime.jvm_library_path);
  return std::nullopt;
}

int RunApplication(Launcher& launcher, const std::vector<std::wstring>& extra_arguments,
                   const ReadyCallback& on_ready) {
  std::vector<std::wstring> arguments = launcher.arguments;
  arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
  const Outcome outcome = RunJavaApplication(launcher, std::move(arguments), on_ready);
  if (!outcome) return 0;
  ReportFailure(*outcome);
  return -1;
}

}  // namespace korvan
