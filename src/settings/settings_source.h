#pragma once
// Where setting values come from: the settings file, read with the profile
// functions, layered over the embedded settings text that the launcher may
// carry, with "+" sections of the settings file adding to embedded values.

#include <string>
#include <utility>
#include <vector>

namespace korvan {

// One section of the embedded settings text, entries in the order of the text.
struct EmbeddedSection {
  std::wstring name;
  std::vector<std::pair<std::wstring, std::wstring>> entries;  // key, value
};

// Where every reader of the settings looks, worked out once at start-up.
struct SettingsSource {
  std::wstring launcher_path;  // the launcher executable, which the settings file is named after
  std::wstring file_path;      // the settings file
  std::wstring upgrade_code;   // the key of the embedded settings text
  std::vector<EmbeddedSection> embedded_sections;
};

// Where a layered value came from, for the trace.
enum class SettingOrigin {
  None,                // no layer had a value
  Embedded,            // the embedded settings text alone
  SettingsFile,        // the settings file's own section
  PlusSection,         // the "+" section alone (no embedded value)
  EmbeddedAndPlus,     // the embedded value with the "+" section's addition
};

// The plain read: the value of (section, key) in `file`, read whole however
// long it is. An absent file, section or key gives "".
std::wstring ReadProfileString(const std::wstring& file, const std::wstring& section,
                               const std::wstring& key);

// The layered read: the embedded value, replaced by a non-empty value of the
// settings file, or else extended by a non-empty value of section "<section>+".
std::wstring LookupSetting(const SettingsSource& source, const std::wstring& section,
                           const std::wstring& key, SettingOrigin* origin = nullptr);

// The embedded value alone: the first section named exactly `section`, and in
// it the first entry keyed exactly `key`; "" when there is none.
std::wstring FindEmbeddedValue(const std::vector<EmbeddedSection>& sections,
                               const std::wstring& section, const std::wstring& key);

// How a "+" value extends the value before it: one space between the two,
// unless the "+" value begins with one or there is nothing before it.
std::wstring AppendPlusValue(const std::wstring& value, const std::wstring& addition);

// "embedded settings text", "settings file", ... for the trace.
std::wstring DescribeOrigin(SettingOrigin origin, const std::wstring& section);

}  // namespace korvan
