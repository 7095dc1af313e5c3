#include "settings/setting_values.h"

#include "platform/shared/utf_text.h"

namespace korvan {
namespace {

using platform::EqualsIgnoringAsciiCase;


struct JvmSourceRow {
  const wchar_t* value;
  bool jdk_wanted;
  bool jre_wanted;
  bool both_kinds_acceptable;
};

constexpr JvmSourceRow kJvmSourceRows[] = {
    {L"favor_JRE", false, true, true},
    {L"favor_JDK", true, false, true},
    {L"only_JRE", false, true, false},
    {L"only_JDK", true, false, false},
};

struct VmProviderRow {
  const wchar_t* name;
  bool jrockit_acceptable;
  bool jrockit_favoured;
  bool sun_acceptable;
  bool sun_favoured;
};

// The first row has the empty name, which no non-empty value matches; its
// flags are the initial ones.
constexpr VmProviderRow kVmProviderRows[] = {
    {L"", false, false, true, true},
    {L"jrockit", true, true, false, false},
    {L"favor_sun", true, false, true, true},
    {L"favor_jrockit", true, true, true, false},
    {L"any", true, false, true, false},
};

}  // namespace

bool IsServiceApplicationType(const std::wstring& value) { return value == L"service"; }

JvmKind JvmKindFrom(const std::wstring& value) {
  if (value == L"server") return JvmKind::Server;
  if (value == L"favor_server") return JvmKind::FavorServer;
  return JvmKind::Any;
}

void ApplyJvmSource(const std::wstring& value, LaunchSettings& settings) {
  if (value.empty()) {
    settings.jdk_wanted = true;
    settings.jre_wanted = true;
    return;  // both kinds acceptable stays as it is
  }
  for (const JvmSourceRow& row : kJvmSourceRows) {
    if (value == row.value) {
      settings.jdk_wanted = row.jdk_wanted;
      settings.jre_wanted = row.jre_wanted;
      settings.both_kinds_acceptable = row.both_kinds_acceptable;
      return;
    }
  }
  // An unknown source wants neither kind: no runtime will qualify.
  settings.jdk_wanted = false;
  settings.jre_wanted = false;
  settings.both_kinds_acceptable = false;
}

void ApplyVmProvider(const std::wstring& value, LaunchSettings& settings) {
  for (const VmProviderRow& row : kVmProviderRows) {
    if (!EqualsIgnoringAsciiCase(value, row.name)) continue;
    settings.jrockit_acceptable = row.jrockit_acceptable;
    settings.jrockit_favoured = row.jrockit_favoured;
    settings.sun_acceptable = row.sun_acceptable;
    settings.sun_favoured = row.sun_favoured;
    return;
  }
}

bool IsYesInAnyCase(const std::wstring& value) { return EqualsIgnoringAsciiCase(value, L"Yes"); }

bool IsExactLowerCaseYes(const std::wstring& value) { return value == L"yes"; }

std::wstring InternalClassName(const std::wstring& class_name) {
  std::wstring internal = class_name;
  for (wchar_t& c : internal) {
    if (c == L'.') c = L'/';
  }
  return internal;
}

}  // namespace korvan
