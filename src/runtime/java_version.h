#pragma once
// Java version records: any version text reduced to four numbers, compared,
// checked against the settings' limits and matched against preferred versions.

#include <cstdint>
#include <string>
#include <vector>

namespace korvan {

struct JavaVersion {
  std::int32_t components[4] = {0, 0, 0, 0};  // major first
  std::int32_t group_count = 0;  // numeric groups the text gave: 0 to 4, or 5 for more

  friend bool operator==(const JavaVersion& a, const JavaVersion& b);
};

constexpr std::int32_t kVersionFillLow = 0;
constexpr std::int32_t kVersionFillHigh = 65535;

// Reads up to four groups of digits; anything else only separates. Components
// the text does not give take `fill`. Unreadable text (no digit, or a group
// beyond 32 bits) gives the all-zero record with count 0.
JavaVersion ParseVersion(const std::wstring& text, std::int32_t fill);

// Negative, zero or positive as a is older than, equal to or newer than b.
// The group count takes no part.
int CompareVersions(const JavaVersion& a, const JavaVersion& b);

// All four components 0, or all four 65535: no limit.
bool IsUnbounded(const JavaVersion& version);

// "1.6", "1.6.0.20", "0.0.0.0": trailing 0 and 65535 components are left out.
std::wstring FormatVersion(const JavaVersion& version);

// "Minimum Version" and "Maximum Version": the exact word "any" sets no limit;
// a maximum like 1.6 admits every 1.6 update.
JavaVersion ConvertMinimumVersion(const std::wstring& text);
JavaVersion ConvertMaximumVersion(const std::wstring& text);

// Both bounds inclusive; an all-zero maximum sets no upper bound.
bool WithinLimits(const JavaVersion& candidate, const JavaVersion& minimum,
                  const JavaVersion& maximum);

// A preferred 1.6 matches 1.6.0_20 and 1.6.0; a preferred 1.6.0 matches 1.6.
bool MatchesPreferred(const std::wstring& preferred, const JavaVersion& candidate);

// "Preferred versions" cut at every ";"; a final ";" adds no item.
std::vector<std::wstring> SplitPreferredList(const std::wstring& text);

// The short text naming the acceptable versions, for the missing-runtime message.
std::wstring RequirementPhrase(const JavaVersion& minimum, const JavaVersion& maximum);

}  // namespace korvan
