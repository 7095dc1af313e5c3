#include "platform/shared/ini_text.h"

#include "platform/shared/utf_text.h"
#include "platform/text.h"

namespace korvan::platform {
namespace {

bool IsIniBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

std::wstring_view TrimStart(std::wstring_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsIniBlank(text[start])) ++start;
  return text.substr(start);
}

std::wstring_view TrimEnd(std::wstring_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsIniBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::wstring_view Trim(std::wstring_view text) { return TrimEnd(TrimStart(text)); }

// Names and values are C strings to the profile functions: a NUL ends them.
std::wstring UpToNul(std::wstring_view text) {
  return std::wstring(text.substr(0, text.find(L'\0')));
}

struct Line {
  std::size_t start;  // first character of the line
  std::size_t end;    // one past its last character, before the line end
  std::size_t next;   // start of the following line
};

// The line that starts at `start`: lines end at CR LF, LF or a lone CR.
Line LineAt(std::wstring_view text, std::size_t start) {
  std::size_t end = start;
  while (end < text.size() && text[end] != L'\r' && text[end] != L'\n') ++end;
  std::size_t next = end;
  if (next < text.size()) {
    next += (text[next] == L'\r' && next + 1 < text.size() && text[next + 1] == L'\n') ? 2 : 1;
  }
  return Line{start, end, next};
}

// A text that ends with a line end has no empty last line.
std::vector<Line> SplitLines(std::wstring_view text) {
  std::vector<Line> lines;
  for (std::size_t start = 0; start < text.size(); start = lines.back().next) {
    lines.push_back(LineAt(text, start));
  }
  return lines;
}

struct ClassifiedLine {
  enum class Kind { Blank, Header, Entry } kind = Kind::Blank;
  std::wstring name;                  // header name or entry key
  std::optional<std::wstring> value;  // entry value, after its "="
};

ClassifiedLine Classify(std::wstring_view raw) {
  ClassifiedLine line;
  const std::wstring_view text = Trim(raw);
  if (text.empty()) return line;
  if (text.front() == L'[') {
    const std::size_t close = text.rfind(L']');
    if (close != std::wstring_view::npos && close > 0) {
      line.kind = ClassifiedLine::Kind::Header;
      line.name = UpToNul(Trim(text.substr(1, close - 1)));
      return line;
    }
  }
  line.kind = ClassifiedLine::Kind::Entry;
  const std::size_t equals = text.find(L'=');
  if (equals == std::wstring_view::npos) {
    line.name = UpToNul(text);
    return line;
  }
  line.name = UpToNul(TrimEnd(text.substr(0, equals)));
  line.value = UpToNul(TrimStart(text.substr(equals + 1)));
  return line;
}

// Headers with an empty name ("[]") and the lines before the first header
// belong to no section that a query can name.
bool SectionMatches(std::wstring_view file_name, std::wstring_view query) {
  return !file_name.empty() && EqualsIgnoringAsciiCase(file_name, query);
}

std::wstring_view StripOuterQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniFileText DecodeIniFile(const std::string& bytes) {
  const std::string_view view(bytes);
  if (view.substr(0, 3) == "\xEF\xBB\xBF") {
    return IniFileText{WideFromUtf8(view.substr(3)), IniEncoding::Utf8};
  }
  if (view.substr(0, 2) == "\xFF\xFE") {
    return IniFileText{WideFromUtf16Bytes(view.substr(2), ByteOrder::LittleEndian),
                       IniEncoding::Utf16Le};
  }
  if (view.substr(0, 2) == "\xFE\xFF") {
    return IniFileText{WideFromUtf16Bytes(view.substr(2), ByteOrder::BigEndian), IniEncoding::Utf16Be};
  }
  // Plain ASCII reads the same in every narrow encoding: skip the conversion.
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return IniFileText{WideFromNarrow(bytes), IniEncoding::Narrow};
    }
  }
  return IniFileText{std::wstring(bytes.begin(), bytes.end()), IniEncoding::Narrow};
}

std::string EncodeIniFile(const std::wstring& text, IniEncoding encoding) {
  switch (encoding) {
    case IniEncoding::Utf8:
      return "\xEF\xBB\xBF" + Utf8FromWide(text);
    case IniEncoding::Utf16Le:
      return "\xFF\xFE" + Utf16BytesFromWide(text, ByteOrder::LittleEndian);
    case IniEncoding::Utf16Be:
      return "\xFE\xFF" + Utf16BytesFromWide(text, ByteOrder::BigEndian);
    case IniEncoding::Narrow:
      break;
  }
  return NarrowFromWide(text);
}

std::vector<IniSection> ParseIniText(std::wstring_view text) {
  std::vector<IniSection> sections(1);
  std::size_t number = 0;
  // Line by line, without a list of all lines: an enormous file of short
  // lines would need several times its own size for that list alone.
  for (std::size_t start = 0; start < text.size();) {
    ++number;
    const Line line = LineAt(text, start);
    start = line.next;
    ClassifiedLine classified = Classify(text.substr(line.start, line.end - line.start));
    switch (classified.kind) {
      case ClassifiedLine::Kind::Blank:
        break;
      case ClassifiedLine::Kind::Header:
        sections.push_back(IniSection{std::move(classified.name), {}, number});
        break;
      case ClassifiedLine::Kind::Entry:
        sections.back().entries.push_back(
            IniEntry{std::move(classified.name), std::move(classified.value), number});
        break;
    }
  }
  return sections;
}

std::optional<std::wstring> FindIniValue(const std::vector<IniSection>& sections,
                                         std::wstring_view section, std::wstring_view key) {
  const std::optional<std::wstring_view> found = FindIniValueView(sections, section, key);
  if (!found) return std::nullopt;
  return std::wstring(*found);
}

std::optional<std::wstring_view> FindIniValueView(const std::vector<IniSection>& sections,
                                                  std::wstring_view section, std::wstring_view key) {
  const std::wstring_view wanted_section = Trim(section);
  const std::wstring_view wanted_key = Trim(key);
  if (wanted_key.empty()) return std::nullopt;
  for (std::size_t i = 1; i < sections.size(); ++i) {
    if (!SectionMatches(sections[i].name, wanted_section)) continue;
    // Only the first section of a name is searched.
    for (const IniEntry& entry : sections[i].entries) {
      if (!EqualsIgnoringAsciiCase(entry.key, wanted_key)) continue;
      if (!entry.value) return std::nullopt;
      return StripOuterQuotes(*entry.value);
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::wstring SetIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                         std::wstring_view value) {
  const std::wstring_view wanted_section = Trim(section);
  const std::wstring_view wanted_key = Trim(key);
  const std::wstring_view new_value = TrimStart(value);
  const std::vector<Line> lines = SplitLines(text);
  const std::wstring line_end =
      lines.empty() || lines.front().end == lines.front().next
          ? std::wstring(L"\n")
          : std::wstring(text.substr(lines.front().end, lines.front().next - lines.front().end));

  std::optional<std::size_t> header;        // index of the first header of the section
  std::optional<std::size_t> last_content;  // its last non-blank line
  bool in_section = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ClassifiedLine classified =
        Classify(text.substr(lines[i].start, lines[i].end - lines[i].start));
    if (classified.kind == ClassifiedLine::Kind::Header) {
      if (in_section) break;
      if (!header && SectionMatches(classified.name, wanted_section)) {
        header = i;
        last_content = i;
        in_section = true;
      }
      continue;
    }
    if (!in_section || classified.kind == ClassifiedLine::Kind::Blank) continue;
    last_content = i;
    if (EqualsIgnoringAsciiCase(classified.name, wanted_key)) {
      // Rewrite the entry in place, keeping the key as the file spells it.
      std::wstring result(text.substr(0, lines[i].start));
      result += classified.name;
      result += L'=';
      result += new_value;
      result += text.substr(lines[i].end);
      return result;
    }
  }

  const std::wstring entry = std::wstring(wanted_key) + L"=" + std::wstring(new_value);
  if (header) {
    const Line& after = lines[*last_content];
    std::wstring result(text.substr(0, after.next));
    if (after.end == after.next) result += line_end;  // the last line had no line end
    result += entry + line_end;
    result += text.substr(after.next);
    return result;
  }
  std::wstring result(text);
  if (!lines.empty() && lines.back().end == lines.back().next) result += line_end;
  result += L"[" + std::wstring(wanted_section) + L"]" + line_end + entry + line_end;
  return result;
}

}  // namespace korvan::platform
