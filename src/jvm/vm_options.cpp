#include "jvm/vm_options.h"

#include "jvm/vm_parameters.h"
#include "launcher/launcher.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "settings/launch_settings.h"

namespace korvan {

namespace {

std::wstring ExpandUnlessEmpty(const std::wstring& text) {
  return text.empty() ? text : platform::ExpandEnvironmentReferences(text);
}

// Entries reach the VM expanded and as narrow text, after any library path option.
// One that expands to nothing is left out: the VM refuses an empty option.
void AppendVmOptions(Launcher& launcher, const std::vector<std::wstring>& entries) {
  for (const std::wstring& entry : entries) {
    const std::wstring expanded = platform::ExpandEnvironmentReferences(entry);
    if (expanded.empty()) {
      Trace(L"VM option left out, empty once expanded: " + entry);
      continue;
    }
    launcher.vm_options.push_back(platform::NarrowFromWide(expanded));
    Trace(L"VM option: " + expanded);
  }
}

}  // namespace

bool AssembleVmOptions(Launcher& launcher) {
  ClassPathGroup group;
  if (!ReadClassPathGroup(launcher, group)) return false;

  std::vector<std::wstring> entries{L"-Djava.class.path=" + group.class_path};
  if (!group.vm_parameters.empty()) {
    ProcessedVmParameters parameters = ProcessVmParameters(
        group.vm_parameters, platform::ReadMemoryFigures(), launcher.vm_thread_stack_size);
    entries.insert(entries.end(), parameters.options.begin(), parameters.options.end());
    launcher.vm_thread_stack_size = parameters.stack_size;
  }
  AppendVmOptions(launcher, entries);
  Trace(L"VM thread stack size from VM parameters: " +
        std::to_wstring(launcher.vm_thread_stack_size));

  launcher.output_file = ExpandUnlessEmpty(group.output_file);
  launcher.error_file = ExpandUnlessEmpty(group.error_file);
  if (!launcher.output_file.empty()) Trace(L"output file: " + launcher.output_file);
  if (!launcher.error_file.empty()) Trace(L"error file: " + launcher.error_file);

  for (const std::wstring& argument :
       SplitExtraArguments(ExpandUnlessEmpty(group.extra_arguments))) {
    launcher.arguments.push_back(argument);
  }
  for (const std::wstring& argument : launcher.arguments) Trace(L"argument: " + argument);
  return true;
}

}  // namespace korvan
