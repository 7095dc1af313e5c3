#include "runtime/java_version.h"

#include <limits>

#include "messages/messages.h"

namespace korvan {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::size_t FindDigit(const std::wstring& text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (IsDigit(text[i])) return i;
  }
  return std::wstring::npos;
}

bool AllComponentsEqual(const JavaVersion& version, std::int32_t value) {
  for (std::int32_t component : version.components) {
    if (component != value) return false;
  }
  return true;
}

}  // namespace

bool operator==(const JavaVersion& a, const JavaVersion& b) {
  return CompareVersions(a, b) == 0 && a.group_count == b.group_count;
}

JavaVersion ParseVersion(const std::wstring& text, std::int32_t fill) {
  JavaVersion version;
  std::size_t position = FindDigit(text, 0);
  if (position == std::wstring::npos) return JavaVersion{};

  for (int group = 0; group < 4; ++group) {
    std::int64_t component = 0;
    for (; position < text.size() && IsDigit(text[position]); ++position) {
      component = component * 10 + (text[position] - L'0');
      // A group that does not fit 32 bits makes the whole text unreadable.
      if (component > std::numeric_limits<std::int32_t>::max()) return JavaVersion{};
    }
    version.components[group] = static_cast<std::int32_t>(component);
    version.group_count = group + 1;

    position = FindDigit(text, position);
    if (position == std::wstring::npos) break;
    if (group == 3) version.group_count = 5;  // more groups follow: ignored
  }
  for (int group = version.group_count; group < 4; ++group) version.components[group] = fill;
  return version;
}

int CompareVersions(const JavaVersion& a, const JavaVersion& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.components[i] != b.components[i]) return a.components[i] < b.components[i] ? -1 : 1;
  }
  return 0;
}

bool IsUnbounded(const JavaVersion& version) {
  return AllComponentsEqual(version, 0) || AllComponentsEqual(version, kVersionFillHigh);
}

std::wstring FormatVersion(const JavaVersion& version) {
  int last = -1;
  for (int i = 3; i >= 0; --i) {
    if (version.components[i] != 0 && version.components[i] != kVersionFillHigh) {
      last = i;
      break;
    }
  }
  if (last < 0) return L"0.0.0.0";
  // At least major and minor are written, but a minor that only stands for
  // "any" (a maximum such as 17) is not: "17", never "17.65535".
  if (last < 1 && version.components[1] != kVersionFillHigh) last = 1;
  std::wstring text = std::to_wstring(version.components[0]);
  for (int i = 1; i <= last; ++i) text += L"." + std::to_wstring(version.components[i]);
  return text;
}

JavaVersion ConvertMinimumVersion(const std::wstring& text) {
  if (text == L"any") return JavaVersion{{0, 0, 0, 0}, 4};
  return ParseVersion(text, kVersionFillLow);
}

JavaVersion ConvertMaximumVersion(const std::wstring& text) {
  if (text == L"any") {
    return JavaVersion{{kVersionFillHigh, kVersionFillHigh, kVersionFillHigh, kVersionFillHigh}, 4};
  }
  return ParseVersion(text, kVersionFillHigh);
}

bool WithinLimits(const JavaVersion& candidate, const JavaVersion& minimum,
                  const JavaVersion& maximum) {
  if (!AllComponentsEqual(maximum, 0) && CompareVersions(candidate, maximum) > 0) return false;
  return CompareVersions(candidate, minimum) >= 0;
}

bool MatchesPreferred(const std::wstring& preferred, const JavaVersion& candidate) {
  const JavaVersion wanted = ParseVersion(preferred, kVersionFillLow);
  if (CompareVersions(wanted, candidate) == 0) return true;
  const int groups = wanted.group_count;
  if (groups < 1 || groups > 4 || candidate.group_count < groups) return false;
  for (int i = 0; i < groups; ++i) {
    if (wanted.components[i] != candidate.components[i]) return false;
  }
  return true;
}

std::vector<std::wstring> SplitPreferredList(const std::wstring& text) {
  std::vector<std::wstring> items;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t separator = text.find(L';', start);
    if (separator == std::wstring::npos) {
      items.push_back(text.substr(start));
      break;
    }
    items.push_back(text.substr(start, separator - start));
    start = separator + 1;
  }
  return items;
}

std::wstring RequirementPhrase(const JavaVersion& minimum, const JavaVersion& maximum) {
  const bool no_minimum = IsUnbounded(minimum);
  const bool no_maximum = IsUnbounded(maximum);
  if (no_minimum && no_maximum) return FormatMessageById(MessageId::LatestVersion);
  if (no_minimum) return FormatMessageById(MessageId::MaximumVersion, {FormatVersion(maximum)});
  if (no_maximum) return FormatMessageById(MessageId::MinimumVersion, {FormatVersion(minimum)});
  if (CompareVersions(minimum, maximum) == 0) {
    return FormatMessageById(MessageId::VersionRequired, {FormatVersion(minimum)});
  }
  return FormatMessageById(MessageId::VersionBetween,
                           {FormatVersion(minimum), FormatVersion(maximum)});
}

}  // namespace korvan
