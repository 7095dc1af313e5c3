#include "launcher/launcher.h"

#include <utility>

#include "instance/instance_guard.h"
#include "instance/secondary_request.h"
#include "archive/class_data_archive_setup.h"
#include "jvm/environment_setup.h"
#include "options/memory_size.h"
#include "jvm/vm_library.h"
#include "jvm/vm_options.h"
#include "jvm/vm_thread.h"
#include "launcher/application_home.h"
#include "launcher/runtime_choice.h"
#include "messages/error_sink.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "platform/profile.h"
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

// The VM takes one exit hook, which carries no context: the start-up
// cache's work first, then the host's, which may tell a manager that the
// process ends.
void(JNICALL* g_plan_exit_hook)(jint) = nullptr;
void (*g_host_exit_hook)(int) = nullptr;

void JNICALL RunExitHooks(jint code) {
  if (g_plan_exit_hook != nullptr) g_plan_exit_hook(code);
  g_host_exit_hook(code);
}

void AddHostExitHook(VmPlan& plan, void (*host_exit_hook)(int)) {
  if (host_exit_hook == nullptr) return;
  g_plan_exit_hook = plan.exit_hook;
  g_host_exit_hook = host_exit_hook;
  plan.exit_hook = RunExitHooks;
}

// The VM's plan from the class-path group of settings, which is not kept:
// a class path of thousands of jars would otherwise stay for the whole run.
Expected<VmPlan> PlanVm(const Launcher& launcher, const std::wstring& library_path_option,
                        std::vector<std::wstring> arguments) {
  Expected<ClassPathGroup> group = ReadClassPathGroup(launcher.settings_source);
  if (!group) return group.failure();

  const platform::MemoryFigures memory = MayUsePercentageSizes(group->vm_parameters)
                                             ? platform::ReadMemoryFigures()
                                             : platform::MemoryFigures{};
  VmPlan plan = BuildVmPlan(*group, memory, library_path_option,
                            launcher.settings.main_class, std::move(arguments));
  plan.options.insert(plan.options.end(), launcher.host_vm_options.begin(),
                      launcher.host_vm_options.end());
  if (group->class_data_archive) {
    PrepareClassDataArchive(plan, {launcher.runtime.jvm_library_path,
                                   launcher.runtime.found_version, launcher.settings.main_class});
  }
  AddHostExitHook(plan, launcher.host_exit_hook);
  return plan;
}

// The run's part after start-up; failures come back as values.
Outcome RunJavaApplication(Launcher& launcher, std::vector<std::wstring> arguments,
                           const ReadyCallback& on_ready) {
  const std::wstring library_path_option =
      PrepareEnvironment(launcher.settings, launcher.runtime.jvm_library_path,
                         FolderOf(launcher.settings_source.launcher_path));
  Expected<InvocationFunctions> functions = LoadVmLibrary(launcher.runtime.jvm_library_path);
  if (!functions) return functions.failure();
  Expected<VmPlan> plan = PlanVm(launcher, library_path_option, std::move(arguments));
  if (!plan) return plan.failure();
  // Every setting has been read: the settings file's parse goes.
  platform::ForgetParsedProfiles();

  // A service captures an uncaught exception for its log: no one reads its standard error.
  const MainCall call{launcher.settings.main_class, plan->arguments,
                      launcher.settings.failure_check || launcher.settings.service,
                      launcher.settings.failure_check && !launcher.settings.service};
  launcher.vm = std::make_unique<VmSession>(*functions);
  return RunVmThread(*launcher.vm, *plan, call, on_ready);
}

}  // namespace

Outcome Initialize(Launcher& launcher, std::vector<std::wstring> arguments) {
  launcher.arguments = std::move(arguments);

  Expected<SettingsSource> source = OpenSettingsSource();
  if (!source) return source.failure();
  launcher.settings_source = std::move(*source);
  PublishApplicationHome(launcher.settings_source.launcher_path);

  // Handlers run once the application is ready, when the VM and the main
  // class are known; they read no other part of the launcher.
  Expected<std::unique_ptr<platform::InstanceChannel>> guard = OpenInstanceGuard(
      launcher.settings_source, launcher.arguments,
      [&vm = launcher.vm, &main_class = launcher.settings.main_class](
          platform::InstanceRequest& request) {
        ServeSecondaryRequest(request, vm.get(), main_class);
      });
  if (!guard) return guard.failure();
  launcher.instance = std::move(*guard);
  if (launcher.instance && !launcher.instance->first()) return std::nullopt;

  Expected<LaunchSettings> settings = ReadLaunchSettings(launcher.settings_source);
  if (!settings) return settings.failure();
  launcher.settings = std::move(*settings);

  if (launcher.settings.override_working_directory) {
    ApplyWorkingDirectoryOverride(launcher.settings_source.launcher_path);
  }

  // Expanded like every other path setting, so it may name a runtime shipped
  // below %KORVAN_APP_HOME%.
  launcher.settings.configured_runtime_folder =
      platform::ExpandEnvironmentReferences(launcher.settings.configured_runtime_folder);
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
  if (launcher.instance && !launcher.instance->first()) return launcher.instance->WaitForReply();
  std::vector<std::wstring> arguments = launcher.arguments;
  arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
  ReadyCallback ready = on_ready;
  if (launcher.instance) {
    ready = [&on_ready, channel = launcher.instance.get()] {
      if (on_ready) on_ready();
      channel->SignalReady();
    };
  }
  const Outcome outcome = RunJavaApplication(launcher, std::move(arguments), ready);
  if (!outcome) return 0;
  ReportFailure(*outcome);
  return -1;
}

}  // namespace korvan
