#include "options/application_entry.h"

namespace korvan {

namespace {

std::wstring DottedName(std::wstring name) {
  for (wchar_t& c : name) {
    if (c == L'/') c = L'.';
  }
  return name;
}

}  // namespace

std::wstring ClassPathValue(const ApplicationEntry& entry, const std::wstring& class_path,
                            wchar_t list_separator) {
  if (entry.main_jar.empty()) return class_path;
  if (class_path.empty()) return entry.main_jar;
  return entry.main_jar + list_separator + class_path;
}

std::wstring JavaCommandName(const ApplicationEntry& entry) {
  if (!entry.main_jar.empty()) return entry.main_jar;
  if (!entry.main_module.empty()) {
    return entry.main_class.empty() ? entry.main_module
                                    : entry.main_module + L"/" + DottedName(entry.main_class);
  }
  return DottedName(entry.main_class);
}

std::vector<std::wstring> MainModuleOptions(const ApplicationEntry& entry) {
  if (entry.main_module.empty() || !entry.main_jar.empty()) return {};
  return {L"-Djdk.module.main=" + entry.main_module};
}

}  // namespace korvan
