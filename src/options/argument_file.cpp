#include "options/argument_file.h"

namespace korvan {

namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

bool IsLineEnd(wchar_t c) { return c == L'\n' || c == L'\r'; }

wchar_t EscapedCharacter(wchar_t c) {
  switch (c) {
    case L'n': return L'\n';
    case L'r': return L'\r';
    case L't': return L'\t';
    case L'f': return L'\f';
    default: return c;
  }
}

// The escape that stands for `c` inside quotes, or 0 when `c` stands for itself.
char EscapeFor(char c) {
  switch (c) {
    case '\\': return '\\';
    case '"': return '"';
    case '\n': return 'n';
    case '\r': return 'r';
    case '\t': return 't';
    case '\f': return 'f';
    default: return 0;
  }
}

}  // namespace

std::vector<std::wstring> ParseArgumentFile(const std::wstring& text) {
  std::vector<std::wstring> arguments;
  std::wstring current;
  bool in_argument = false;
  wchar_t quote = 0;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const wchar_t c = text[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else if (c == L'\\' && i + 1 < size && IsLineEnd(text[i + 1])) {
        // A continued line: the argument goes on after the line end and the
        // next line's leading blanks.
        ++i;
        if (text[i] == L'\r' && i + 1 < size && text[i + 1] == L'\n') ++i;
        while (i + 1 < size && (text[i + 1] == L' ' || text[i + 1] == L'\t')) ++i;
      } else if (c == L'\\' && i + 1 < size) {
        current += EscapedCharacter(text[++i]);
      } else if (IsLineEnd(c)) {
        quote = 0;
        arguments.push_back(current);
        current.clear();
        in_argument = false;
      } else {
        current += c;
      }
    } else if (IsBlank(c)) {
      if (in_argument) arguments.push_back(current);
      current.clear();
      in_argument = false;
    } else if (c == L'#' && !in_argument) {
      while (i + 1 < size && !IsLineEnd(text[i + 1])) ++i;
    } else if (c == L'"' || c == L'\'') {
      quote = c;
      in_argument = true;
    } else {
      current += c;
      in_argument = true;
    }
  }
  if (in_argument) arguments.push_back(current);
  return arguments;
}

std::string JavaArgumentFileText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    text += '"';
    for (const char c : argument) {
      if (const char escape = EscapeFor(c)) {
        text += '\\';
        text += escape;
      } else {
        text += c;
      }
    }
    text += "\"\n";
  }
  return text;
}

}  // namespace korvan
