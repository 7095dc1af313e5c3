#include "version_info_text.h"

#include <algorithm>

#include "platform/shared/utf_text.h"
#include "version_info.h"

namespace korvan::stamp {
namespace {

std::u16string_view Trimmed(std::u16string_view text) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Printable(std::u16string_view text) {
  return platform::Utf8FromWide(platform::WideFromUtf16(text));
}

}  // namespace

std::u16string Utf16Text(const std::wstring& text) {
  return platform::Utf16FromWide(text);
}

bool IsVersionPair(const std::wstring& argument) {
  const std::size_t equals = argument.find(L'=');
  if (equals == std::wstring::npos) return false;
  const std::u16string key = Utf16Text(argument.substr(0, equals));
  const auto& keys = pe::VersionInfoKeys();
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool AddVersionPair(std::u16string_view pair, VersionStrings& strings, std::string& error) {
  const std::size_t equals = pair.find(u'=');
  if (equals == std::u16string_view::npos) {
    error = "not KEY=VALUE: " + Printable(pair);
    return false;
  }
  const std::u16string key(Trimmed(pair.substr(0, equals)));
  const auto& keys = pe::VersionInfoKeys();
  if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
    error = "unknown version information key \"" + Printable(key) + "\"; the keys are:";
    for (const auto& known : keys) error += " " + Printable(known);
    return false;
  }
  strings[key] = std::u16string(Trimmed(pair.substr(equals + 1)));
  return true;
}

bool AddVersionLines(const std::string& file, VersionStrings& strings, std::string& error) {
  std::u16string text;
  if (file.compare(0, 2, "\xFF\xFE") == 0) {
    text = platform::Utf16FromWide(platform::WideFromUtf16Bytes(file.substr(2), platform::ByteOrder::LittleEndian));
  } else {
    const bool bom = file.compare(0, 3, "\xEF\xBB\xBF") == 0;
    text = Utf16Text(platform::WideFromUtf8(std::string_view(file).substr(bom ? 3 : 0)));
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = std::u16string_view(text).substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    const std::u16string_view content = Trimmed(line);
    if (!content.empty() && content[0] != u'#' && content[0] != u';' &&
        !AddVersionPair(line, strings, error)) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

}  // namespace korvan::stamp
