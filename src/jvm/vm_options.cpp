#include "jvm/vm_options.h"

#include <utility>

#include "jvm/vm_parameters.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/text.h"

namespace korvan {

namespace {

std::wstring ExpandUnlessEmpty(const std::wstring& text) {
  return text.empty() ? text : platform::ExpandEnvironmentReferences(text);
}

// Entries reach the VM expanded and as narrow text, after any library path option.
// One that expands to nothing is left out: the VM refuses an empty option.
void AppendVmOptions(VmPlan& plan, const std::vector<std::wstring>& entries) {
  for (const std::wstring& entry : entries) {
    const std::wstring expanded = platform::ExpandEnvironmentReferences(entry);
    if (expanded.empty()) {
      Trace(L"VM option left out, empty once expanded: " + entry);
      continue;
    }
    plan.options.push_back(platform::NarrowFromWide(expanded));
    Trace(L"VM option: " + expanded);
  }
}

}  // namespace

VmPlan BuildVmPlan(const ClassPathGroup& group, const platform::MemoryFigures& memory,
                   const std::wstring& library_path_option, std::vector<std::wstring> arguments) {
  VmPlan plan;
  if (!library_path_option.empty()) {
    plan.options.push_back(platform::NarrowFromWide(library_path_option));
  }

  std::vector<std::wstring> entries{L"-Djava.class.path=" + group.class_path};
  if (!group.vm_parameters.empty()) {
    ProcessedVmParameters parameters =
        ProcessVmParameters(group.vm_parameters, memory, plan.thread_stack_size);
    entries.insert(entries.end(), parameters.options.begin(), parameters.options.end());
    plan.thread_stack_size = parameters.stack_size;
  }
  AppendVmOptions(plan, entries);
  Trace(L"VM thread stack size from VM parameters: " + std::to_wstring(plan.thread_stack_size));

  plan.output_file = ExpandUnlessEmpty(group.output_file);
  plan.error_file = ExpandUnlessEmpty(group.error_file);
  if (!plan.output_file.empty()) Trace(L"output file: " + plan.output_file);
  if (!plan.error_file.empty()) Trace(L"error file: " + plan.error_file);

  plan.arguments = std::move(arguments);
  for (const std::wstring& argument :
       SplitExtraArguments(ExpandUnlessEmpty(group.extra_arguments))) {
    plan.arguments.push_back(argument);
  }
  for (const std::wstring& argument : plan.arguments) Trace(L"argument: " + argument);
  return plan;
}

}  // namespace korvan
