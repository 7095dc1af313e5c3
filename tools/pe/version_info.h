#pragma once
// The RT_VERSION resource (VS_VERSIONINFO): the fixed part (VS_FIXEDFILEINFO)
// with the numeric file and product versions, one string table (US English,
// Unicode) and the translation that names it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::pe {

// The string keys the tool accepts, in the order they are written.
const std::vector<std::u16string>& VersionInfoKeys();

// "1.2.3.4" as the two numbers of VS_FIXEDFILEINFO (high: 1,2; low: 3,4).
// Up to four parts of 0 to 65535; missing parts are 0; text after the
// numbers ("2.1 beta") is allowed. None when the value starts with no number.
struct FixedVersion {
  std::uint32_t high = 0;
  std::uint32_t low = 0;
};
std::optional<FixedVersion> ParseFixedVersion(std::u16string_view text);

// The VS_VERSIONINFO bytes for `strings` (keys from VersionInfoKeys()). The
// fixed part's file version comes from "FileVersion", its product version
// from "ProductVersion" (else from "FileVersion"). Says in `error` why not
// when a key is unknown or a version has no number.
std::optional<std::string> VersionInfoBytes(const std::map<std::u16string, std::u16string>& strings,
                                            std::string& error);

}  // namespace korvan::pe
