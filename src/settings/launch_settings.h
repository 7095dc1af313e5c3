#pragma once
// The values read from the settings file (and the embedded settings text) that
// the launcher keeps for the run.

#include <cstdint>
#include <string>
#include <vector>

#include "messages/failure.h"
#include "runtime/java_version.h"
#include "settings/settings_source.h"

namespace korvan {

enum class JvmKind : std::int32_t { Any = 0, Server = 1, FavorServer = 2 };

struct LaunchSettings {
  std::wstring product_code;
  std::wstring upgrade_code;
  std::wstring product_name;
  JavaVersion minimum_version;
  JavaVersion maximum_version;
  bool service = false;
  std::vector<std::wstring> preferred_versions;
  std::wstring configured_runtime_folder;  // "JRE Path"
  JvmKind jvm_kind = JvmKind::Any;
  bool jdk_wanted = false;
  bool jre_wanted = false;
  bool both_kinds_acceptable = true;
  bool jrockit_acceptable = false;
  bool sun_acceptable = true;
  bool jrockit_favoured = false;
  bool sun_favoured = true;
  std::wstring main_class;  // internal form: every "." turned into "/"
  std::wstring main_jar;    // "Main Jar": the jar run as java -jar runs it, not yet expanded
  std::wstring main_module; // "Main Module": module name, as java -m takes it
  bool failure_check = false;
  bool override_working_directory = false;
  std::wstring system_path;
  std::wstring library_path;
};

// The second group of settings, read when the VM options are built.
struct ClassPathGroup {
  std::wstring class_path;            // "Class Path" in section "Class Path"
  bool expand_wildcards = false;      // "Expand Wildcards" in section "Class Path": "Yes", any case
  bool class_data_archive = false;    // "Class Data Archive": "auto", any case
  std::wstring vm_parameters;         // "Virtual Machine Parameters"
  std::wstring output_file;           // "Output File", not yet expanded
  std::wstring error_file;            // "Error File", not yet expanded
  std::wstring extra_arguments;       // "Cmd", not yet expanded
};

// Reads the main group of settings; message 210 when no main class, main
// jar or main module is set. "Main Module" takes "module" or "module/class";
// its class, when it names one, takes the place of "Main Class".
Expected<LaunchSettings> ReadLaunchSettings(const SettingsSource& source);

// Reads the class-path group, when the VM options are built; message 209 when
// "Class Path" is empty and `class_path_required` (no main jar or module).
Expected<ClassPathGroup> ReadClassPathGroup(const SettingsSource& source,
                                            bool class_path_required = true);

}  // namespace korvan
