#pragma once
// What the launcher runs, named the three ways the java command takes it: a
// main class, a jar (java -jar) or a module (java -m). The rules that follow
// from the choice for the class path and the VM options.

#include <string>
#include <vector>

namespace korvan {

struct ApplicationEntry {
  std::wstring main_class;   // internal form; empty when a module names its own
  std::wstring main_jar;     // the main jar's path, references expanded; empty without one
  std::wstring main_module;  // the main module's name; empty without one
};

// The value of "-Djava.class.path=": the main jar first, then `class_path`
// (the setting, references expanded), joined by `list_separator`.
std::wstring ClassPathValue(const ApplicationEntry& entry, const std::wstring& class_path,
                            wchar_t list_separator);

// What java names first in "sun.java.command": the jar's path, the module
// (module/class when a class is named) or the class, in dotted form.
std::wstring JavaCommandName(const ApplicationEntry& entry);

// The VM options that make the module the main one, as java -m does.
std::vector<std::wstring> MainModuleOptions(const ApplicationEntry& entry);

}  // namespace korvan
