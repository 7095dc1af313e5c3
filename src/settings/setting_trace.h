#pragma once
// Trace lines that tell where each setting came from.

#include <string>

#include "settings/settings_source.h"

namespace korvan {

// "setting [<section>] <key> = <value> (<where from>)"; values that no layer
// set are left out.
void TraceSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                  const std::wstring& where_from);

// A layered read, traced.
std::wstring LookupTracedSetting(const SettingsSource& source, const std::wstring& section,
                                 const std::wstring& key);

// A plain read of the settings file, traced.
std::wstring ReadTracedProfileString(const std::wstring& file, const std::wstring& section,
                                     const std::wstring& key);

}  // namespace korvan
