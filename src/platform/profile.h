#pragma once
// INI files as Windows' profile functions read and write them. Windows calls
// GetPrivateProfileStringW and WritePrivateProfileStringW; elsewhere Korvan's
// own reader and writer follow the same observable rules (platform/shared/ini_text.h).

#include <cstddef>
#include <string>

namespace korvan::platform {

// GetPrivateProfileStringW with the default "": at most `capacity - 1`
// characters of the value land in `value` (a longer value is cut), and the
// count of characters copied is returned, so a result of `capacity - 1` means
// the value may have been cut. An absent file, section or key gives "" and 0.
// `capacity` is at least 2.
std::size_t ReadProfileValue(const std::wstring& file, const std::wstring& section,
                             const std::wstring& key, std::size_t capacity, std::wstring& value);

// WritePrivateProfileStringW: sets (section, key) to `value`, creating the file,
// the section or the key as needed. False when the file could not be written.
bool WriteProfileValue(const std::wstring& file, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value);

// Reads keep the last file's parse while the file stays unchanged; this drops
// it once the launcher has read all it needs (a no-op where the system reads).
void ForgetParsedProfiles();

}  // namespace korvan::platform
