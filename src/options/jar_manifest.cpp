#include "options/jar_manifest.h"

#include <vector>

#include "platform/shared/utf_text.h"

namespace korvan {

namespace {

std::wstring LowerAscii(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

// The logical lines of the main section, continuations joined.
std::vector<std::string> MainSectionLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", at);
    const std::string_view line = text.substr(at, end == std::string_view::npos ? end : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && at < text.size() && text[at] == '\n') {
      ++at;
    }
    if (line.empty()) break;
    if (line[0] == ' ' && !lines.empty()) {
      lines.back().append(line.substr(1));
    } else {
      lines.emplace_back(line);
    }
  }
  return lines;
}

}  // namespace

ManifestAttributes ManifestAttributes::Parse(std::string_view text) {
  ManifestAttributes attributes;
  for (const std::string& line : MainSectionLines(text)) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0) continue;
    attributes.values_[LowerAscii(platform::WideFromUtf8(line.substr(0, colon)))] =
        platform::WideFromUtf8(line.substr(colon + 2));
  }
  return attributes;
}

std::optional<std::wstring> ManifestAttributes::Get(std::wstring_view name) const {
  const auto found = values_.find(LowerAscii(name));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

}  // namespace korvan
