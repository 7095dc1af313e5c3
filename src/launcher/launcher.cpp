#include "launcher/launcher.h"

#include <algorithm>
#include <utility>

#include "instance/instance_guard.h"
#include "instance/secondary_request.h"
#include "archive/class_data_archive_setup.h"
#include "jvm/environment_setup.h"
#include "options/memory_size.h"
#include "jvm/splash_screen.h"
#include "jvm/vm_library.h"
#include "jvm/vm_options.h"
#include "jvm/vm_thread.h"
#include "launcher/application_home.h"
#include "launcher/runtime_choice.h"
#include "messages/error_sink.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/windowed_program.h"
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

// The application's jar, run as java -jar runs it: its manifest names the
// main class unless "Main Class" does. Relative paths count from the working
// folder, as java's do.
Outcome ReadMainJarManifest(Launcher& launcher) {
  if (launcher.settings.main_jar.empty()) return std::nullopt;
  launcher.settings.main_jar = platform::ExpandEnvironmentReferences(launcher.settings.main_jar);
  Expected<MainJar> jar = ReadMainJar(launcher.settings.main_jar);
  if (!jar) return jar.failure();
  launcher.main_jar = std::move(*jar);
  if (launcher.settings.main_class.empty()) launcher.settings.main_class = launcher.main_jar.main_class;
  if (launcher.settings.main_class.empty()) {
    return MessageFailure(MessageId::MainJarNoMainClass, {launcher.settings.main_jar});
  }
  return std::nullopt;
}

ApplicationEntry EntryOf(const LaunchSettings& settings) {
  // A main jar is the application: a main module beside it is not used.
  return {settings.main_class, settings.main_jar,
          settings.main_jar.empty() ? settings.main_module : std::wstring()};
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
  const ApplicationEntry entry = EntryOf(launcher.settings);
  Expected<ClassPathGroup> group = ReadClassPathGroup(
      launcher.settings_source, entry.main_jar.empty() && entry.main_module.empty());
  if (!group) return group.failure();

  const platform::MemoryFigures memory = MayUsePercentageSizes(group->vm_parameters)
                                             ? platform::ReadMemoryFigures()
                                             : platform::MemoryFigures{};
  Expected<VmPlan> built = BuildVmPlan(*group, memory, library_path_option, entry, std::move(arguments));
  if (!built) return built.failure();
  VmPlan plan = std::move(*built);
  plan.keep_vm_text = platform::RunsWindowed();
  plan.options.insert(plan.options.end(), launcher.host_vm_options.begin(),
                      launcher.host_vm_options.end());
  if (group->class_data_archive) {
    PrepareClassDataArchive(plan, {launcher.runtime.jvm_library_path,
                                   launcher.runtime.found_version,
                                   entry.main_class.empty() ? entry.main_module : entry.main_class});
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

  // A service captures an uncaught exception for its log, and the windowed
  // launcher for its error box: no one reads their standard error.
  const bool preview_enabled = std::find(plan->options.begin(), plan->options.end(),
                                         "--enable-preview") != plan->options.end();
  // A class that a module names is kept for stop and secondaryMain, which
  // wait for the ready point that follows.
  const MainCall call{launcher.settings.main_class, plan->arguments,
                      launcher.settings.failure_check || launcher.settings.service ||
                          platform::RunsWindowed(),
                      launcher.settings.failure_check && !launcher.settings.service,
                      preview_enabled,
                      {launcher.main_jar.launch, EntryOf(launcher.settings).main_module,
                       [&main_class = launcher.settings.main_class](const std::wstring& named) {
                         main_class = named;
                       }}};
  // A service has no desktop to show it on.
  if (!launcher.settings.service) {
    ShowSplashScreen(ChooseSplashImage(plan->requests.splash_file, launcher.main_jar,
                                       plan->class_path, platform::GetSearchPathRules().list_separator),
                     launcher.runtime.jvm_library_path);
  }
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
  // After the working folder is set: a relative jar path counts from it, as
  // the VM's class path does.
  if (Outcome failure = ReadMainJarManifest(launcher)) return failure;

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
  const ReadyCallback ready = [&on_ready, channel = launcher.instance.get()] {
    NoteApplicationStarted();
    if (on_ready) on_ready();
    if (channel) channel->SignalReady();
  };
  const Outcome outcome = RunJavaApplication(launcher, std::move(arguments), ready);
  if (!outcome) return 0;
  ReportFailure(*outcome);
  return -1;
}

}  // namespace korvan
