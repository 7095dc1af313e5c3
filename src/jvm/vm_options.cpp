#include "jvm/vm_options.h"

#include <utility>

#include "options/class_path_wildcards.h"
#include "options/vm_parameters.h"
#include "messages/trace.h"
#include "platform/environment.h"
#include "platform/file_bytes.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
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

ClassPathRules GetClassPathRules() {
  const wchar_t separator = platform::GetPathRules().separator;
  // Windows takes "lib/*" as well as "lib\*", as the java command does there.
  return ClassPathRules{platform::GetSearchPathRules().list_separator,
                        separator == L'\\' ? std::wstring(L"\\/") : std::wstring(1, separator)};
}

// The class path setting: references expanded, then wildcard entries when the
// settings ask for it. Expanded here, once, so a jar name holding "%" stays.
std::wstring ClassPathSetting(const ClassPathGroup& group, const ClassPathRules& rules) {
  const std::wstring class_path = platform::ExpandEnvironmentReferences(group.class_path);
  if (group.expand_wildcards) return ExpandClassPathWildcards(class_path, rules, platform::ListFolder);
  if (HasWildcardEntry(class_path, rules)) {
    Trace(L"class path entry ending in * taken as written; set \"Expand Wildcards=Yes\" in "
          L"section \"Class Path\" for its jar files");
  }
  return class_path;
}

std::optional<std::wstring> ReadArgumentFileText(const std::wstring& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(platform::ExpandEnvironmentReferences(path), bytes)) {
    return std::nullopt;
  }
  return platform::WideFromNarrow(bytes);
}

// What the java command tells monitoring tools (jps, jcmd) about the run.
std::vector<std::wstring> IdentityOptions(const ApplicationEntry& entry,
                                          const std::vector<std::wstring>& arguments) {
  std::wstring command = JavaCommandName(entry);
  for (const std::wstring& argument : arguments) command += L" " + argument;
  return {L"-Dsun.java.command=" + command, L"-Dsun.java.launcher=SUN_STANDARD"};
}

}  // namespace

Expected<VmPlan> BuildVmPlan(const ClassPathGroup& group, const platform::MemoryFigures& memory,
                             const std::wstring& library_path_option, const ApplicationEntry& entry,
                             std::vector<std::wstring> arguments) {
  VmPlan plan;
  if (!library_path_option.empty()) {
    plan.options.push_back(platform::NarrowFromWide(library_path_option));
  }

  // A main module needs no class path: java then leaves it empty.
  const ClassPathRules rules = GetClassPathRules();
  const std::wstring class_path =
      ClassPathValue(entry, ClassPathSetting(group, rules), rules.list_separator);
  if (!class_path.empty() || entry.main_module.empty()) {
    const std::wstring class_path_option = L"-Djava.class.path=" + class_path;
    plan.options.push_back(platform::NarrowFromWide(class_path_option));
    Trace(L"VM option: " + class_path_option);
  }
  plan.class_path = class_path;

  if (!group.vm_parameters.empty()) {
    ProcessedVmParameters parameters = ProcessVmParameters(
        group.vm_parameters, memory, plan.thread_stack_size, ReadArgumentFileText);
    if (parameters.refusal) return *parameters.refusal;
    AppendVmOptions(plan, parameters.options);
    plan.thread_stack_size = parameters.stack_size;
    plan.requests = parameters.requests;
    plan.requests.splash_file = ExpandUnlessEmpty(plan.requests.splash_file);
  }
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

  // Last, as the java command places them; not expanded: arguments are taken as given.
  for (const std::wstring& option : IdentityOptions(entry, plan.arguments)) {
    plan.options.push_back(platform::NarrowFromWide(option));
    Trace(L"identity option: " + option);
  }
  for (const std::wstring& option : MainModuleOptions(entry)) {
    plan.options.push_back(platform::NarrowFromWide(option));
    Trace(L"VM option: " + option);
  }
  return plan;
}

}  // namespace korvan
