#include "settings/settings_text.h"

#include <cstdint>
#include <cwctype>
#include <string_view>

namespace korvan {
namespace {

std::wstring TrimWhiteSpace(std::wstring_view text) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (start < end && std::iswspace(static_cast<std::wint_t>(text[start]))) ++start;
  while (end > start && std::iswspace(static_cast<std::wint_t>(text[end - 1]))) --end;
  return std::wstring(text.substr(start, end - start));
}

bool IsAboveSpace(wchar_t c) { return static_cast<std::uint32_t>(c) > 32; }

// The name between the first "[" and the last "]" when the line is a header.
bool ReadHeader(std::wstring_view line, std::wstring& name) {
  std::size_t first = 0;
  while (first < line.size() && !IsAboveSpace(line[first])) ++first;
  if (first == line.size() || line[first] != L'[') return false;
  std::size_t last = line.size();
  while (last > first && !IsAboveSpace(line[last - 1])) --last;
  if (last - 1 == first || line[last - 1] != L']') return false;
  name = std::wstring(line.substr(first + 1, last - 1 - (first + 1)));
  return true;
}

}  // namespace

std::vector<EmbeddedSection> ParseSettingsText(const std::wstring& text) {
  std::vector<EmbeddedSection> sections;
  std::wstring_view rest(text);
  if (!rest.empty() && rest.front() == L'\uFEFF') rest.remove_prefix(1);

  while (!rest.empty()) {
    const std::size_t end = rest.find(L"\r\n");
    const std::wstring_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 2);
    if (line.empty()) continue;

    std::wstring name;
    if (ReadHeader(line, name)) {
      sections.push_back(EmbeddedSection{std::move(name), {}});
      continue;
    }
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos || sections.empty()) continue;
    sections.back().entries.emplace_back(TrimWhiteSpace(line.substr(0, equals)),
                                         TrimWhiteSpace(line.substr(equals + 1)));
  }
  return sections;
}

}  // namespace korvan
