#include "jvm/environment_setup.h"

#include "options/environment_paths.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/native_library_path.h"
#include "platform/paths.h"
#include "platform/runtime_layout.h"

namespace korvan {

namespace {

// Failures to set a variable leave it as it was; the launch goes on.
void PublishVariable(const std::wstring& name, const std::wstring& value) {
  platform::WriteEnvironmentVariable(name, value);
  Trace(L"environment: " + name + L"=" + value);
}

}  // namespace

std::wstring PrepareEnvironment(const LaunchSettings& settings, const std::wstring& jvm_library_path,
                                const std::wstring& launcher_folder) {
  const platform::SearchPathRules rules = platform::GetSearchPathRules();
  const RuntimeFolders runtime = RuntimeFoldersFor(jvm_library_path, platform::GetRuntimeLayout());
  const ExpandReferences expand = platform::ExpandEnvironmentReferences;

  PublishVariable(L"KORVAN_JVM_PATH", jvm_library_path);
  PublishVariable(L"KORVAN_JVM_HOME", runtime.home);

  // Built before the search path changes: it holds the search path as inherited.
  std::wstring library_path_option;
  const platform::NativeLibraryPathRules library_rules = platform::GetNativeLibraryPathRules();
  if (!settings.library_path.empty() && library_rules.loader_variable != nullptr) {
    const std::wstring variable = library_rules.loader_variable;
    PublishVariable(variable,
                    LoaderLibraryPath(settings.library_path, launcher_folder,
                                      platform::ReadEnvironmentVariable(variable).value_or(L""),
                                      rules.list_separator, platform::GetPathRules().separator,
                                      expand));
  } else if (!settings.library_path.empty()) {
    library_path_option =
        L"-Djava.library.path=" +
        NativeLibraryPath(settings.library_path, launcher_folder, runtime.lib, rules, expand);
    Trace(L"VM option: " + library_path_option);
  }

  PublishVariable(rules.variable,
                  ExtendedSearchPath(settings.system_path, runtime.bin, rules, expand));
  return library_path_option;
}

}  // namespace korvan
