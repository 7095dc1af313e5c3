#include "jvm/environment_setup.h"

#include "jvm/environment_paths.h"
#include "launcher/launcher.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/paths.h"
#include "platform/runtime_layout.h"
#include "platform/text.h"
#include "settings/settings_paths.h"

namespace korvan {

namespace {

// Failures to set a variable leave it as it was; the launch goes on.
void PublishVariable(const std::wstring& name, const std::wstring& value) {
  platform::WriteEnvironmentVariable(name, value);
  Trace(L"environment: " + name + L"=" + value);
}

}  // namespace

void PrepareEnvironment(Launcher& launcher) {
  const platform::SearchPathRules rules = platform::GetSearchPathRules();
  const RuntimeFolders runtime =
      RuntimeFoldersFor(launcher.jvm_library_path, platform::GetRuntimeLayout());
  const ExpandReferences expand = platform::ExpandEnvironmentReferences;

  PublishVariable(L"KORVAN_JVM_PATH", launcher.jvm_library_path);
  PublishVariable(L"KORVAN_JVM_HOME", runtime.home);

  // Built before the search path changes: it holds the search path as inherited.
  if (!launcher.settings.library_path.empty()) {
    std::wstring launcher_folder;
    GetModuleFolder(launcher_folder);  // known to work: start-up already needed it
    const std::wstring option =
        L"-Djava.library.path=" + NativeLibraryPath(launcher.settings.library_path, launcher_folder,
                                                    runtime.lib, rules, expand);
    launcher.vm_options.insert(launcher.vm_options.begin(), platform::NarrowFromWide(option));
    Trace(L"VM option: " + option);
  }

  PublishVariable(rules.variable,
                  ExtendedSearchPath(launcher.settings.system_path, runtime.bin, rules, expand));
}

}  // namespace korvan
