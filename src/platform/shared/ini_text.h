#pragma once
// The rules by which Windows' profile functions read and write INI files,
// kept apart from file access so that they can be tested on their own. The
// POSIX backend of platform/profile.h reads and writes files through them.
//
// Reading:
// - Lines end at CR LF, LF or a lone CR.
// - Blanks (tab, LF, VT, FF, CR, space and ^Z) are trimmed at both ends of a
//   line, around the key and at the start of the value.
// - A line whose first character is "[" and which holds a "]" after it is a
//   section header; the name lies between the "[" and the last "]", trimmed.
// - Any other line is an entry: the key before its first "=", the value after
//   it. A line without "=" is a key without value, which reads as absent.
// - Section and key names match without regard to the case of A to Z (other
//   letters must match exactly); a query name is trimmed first. Only the first section of a name is searched, and in it the
//   first entry of a key counts.
// - One pair of matching outer quotes ("..." or '...') is stripped from a value.
// - Names and values end at a NUL character.
// - Lines before the first header belong to no section that a query can name.
// Encodings: a UTF-16 LE or BE byte-order mark selects UTF-16, a UTF-8 mark
// selects UTF-8; any other file is narrow text in the system's encoding.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::platform {

enum class IniEncoding { Narrow, Utf8, Utf16Le, Utf16Be };

struct IniFileText {
  std::wstring text;
  IniEncoding encoding = IniEncoding::Narrow;
};

IniFileText DecodeIniFile(const std::string& bytes);

// The bytes of a file holding `text` in `encoding`, byte-order mark included.
std::string EncodeIniFile(const std::wstring& text, IniEncoding encoding);

struct IniEntry {
  std::wstring key;
  std::optional<std::wstring> value;  // absent for a line without "="
  std::size_t line = 0;               // 1 for the text's first line, for messages
};

struct IniSection {
  std::wstring name;  // empty for the lines before the first header
  std::vector<IniEntry> entries;
  std::size_t line = 0;  // of the header; 0 for the lines before the first one
};

// The sections in the order of the text; the first one holds the entries
// before any header.
std::vector<IniSection> ParseIniText(std::wstring_view text);

// The value of `key` in `section`, quotes stripped; nullopt when absent.
std::optional<std::wstring> FindIniValue(const std::vector<IniSection>& sections,
                                         std::wstring_view section, std::wstring_view key);

// The same value as a view into `sections`, which must outlive it: a reader
// that wants only part of an enormous value copies only that part.
std::optional<std::wstring_view> FindIniValueView(const std::vector<IniSection>& sections,
                                                  std::wstring_view section, std::wstring_view key);

// `text` with (section, key) set to `value`: the first entry of the key in the
// first section of the name is rewritten, or a new entry follows the last
// line of that section, or a new section ends the text. Everything else stays
// as it was; new lines end like the first line of the text (LF when it has none).
std::wstring SetIniValue(std::wstring_view text, std::wstring_view section, std::wstring_view key,
                         std::wstring_view value);

}  // namespace korvan::platform
