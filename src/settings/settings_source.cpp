#include "settings/settings_source.h"

#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "platform/profile.h"

namespace korvan {

std::wstring ReadProfileString(const std::wstring& file, const std::wstring& section,
                               const std::wstring& key) {
  // The profile functions give no length up front: a value that fills the
  // buffer may have been cut, so read again with twice the room. A value one
  // character shorter counts as cut too: some implementations strip a closing
  // quote after cutting, which leaves size - 2 characters of a longer value.
  constexpr std::size_t kLargestBuffer = std::numeric_limits<std::uint32_t>::max() / 2;
  std::size_t capacity = 256;
  std::wstring value;
  try {
    while (platform::ReadProfileValue(file, section, key, capacity, value) + 2 >= capacity &&
           capacity <= kLargestBuffer) {
      capacity *= 2;
    }
  } catch (const std::bad_alloc&) {
    // Out of memory: the value read so far is all there is.
  }
  return value;
}

std::wstring FindEmbeddedValue(const std::vector<EmbeddedSection>& sections,
                               const std::wstring& section, const std::wstring& key) {
  for (const EmbeddedSection& embedded : sections) {
    if (embedded.name != section) continue;
    // Only the first section of a name counts, and in it the first entry of a key.
    for (const auto& [entry_key, entry_value] : embedded.entries) {
      if (entry_key == key) return entry_value;
    }
    return std::wstring();
  }
  return std::wstring();
}

std::wstring AppendPlusValue(const std::wstring& value, const std::wstring& addition) {
  if (value.empty() || addition.front() == L' ') return value + addition;
  return value + L' ' + addition;
}

std::wstring LookupSetting(const SettingsSource& source, const std::wstring& section,
                           const std::wstring& key, SettingOrigin* origin) {
  SettingOrigin found = SettingOrigin::None;
  std::wstring value = FindEmbeddedValue(source.embedded_sections, section, key);
  if (!value.empty()) found = SettingOrigin::Embedded;

  std::wstring own = ReadProfileString(source.file_path, section, key);
  if (!own.empty()) {
    value = std::move(own);
    found = SettingOrigin::SettingsFile;
  } else {
    const std::wstring addition = ReadProfileString(source.file_path, section + L"+", key);
    if (!addition.empty()) {
      found = value.empty() ? SettingOrigin::PlusSection : SettingOrigin::EmbeddedAndPlus;
      value = AppendPlusValue(value, addition);
    }
  }
  if (origin != nullptr) *origin = found;
  return value;
}

std::wstring DescribeOrigin(SettingOrigin origin, const std::wstring& section) {
  switch (origin) {
    case SettingOrigin::None:
      return L"not set";
    case SettingOrigin::Embedded:
      return L"embedded settings text";
    case SettingOrigin::SettingsFile:
      return L"settings file";
    case SettingOrigin::PlusSection:
      return L"settings file [" + section + L"+]";
    case SettingOrigin::EmbeddedAndPlus:
      return L"embedded settings text + settings file [" + section + L"+]";
  }
  return std::wstring();
}

}  // namespace korvan
