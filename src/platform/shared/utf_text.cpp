#include "platform/shared/utf_text.h"

namespace korvan::platform {
namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(std::wstring& text, char32_t c) {
  if (kWideIsUtf16 && c > 0xFFFF) {
    c -= 0x10000;
    text += static_cast<wchar_t>(0xD800 + (c >> 10));
    text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    text += static_cast<wchar_t>(c);
  }
}

// The code points of a wide string: surrogate pairs joined where wchar_t is
// 16 bits, lone surrogates passed on as they are.
template <typename Visit>
void ForEachCodePoint(std::wstring_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]) & (kWideIsUtf16 ? 0xFFFF : 0xFFFFFFFF);
    if (kWideIsUtf16 && IsHighSurrogate(c) && i + 1 < text.size()) {
      const char32_t next = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
      if (IsLowSurrogate(next)) {
        c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      }
    }
    visit(c);
  }
}

void AppendUnit(std::string& bytes, char16_t unit, ByteOrder order) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  if (order == ByteOrder::LittleEndian) {
    bytes += low;
    bytes += high;
  } else {
    bytes += high;
    bytes += low;
  }
}

wchar_t LowerAsciiLetter(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

}  // namespace

std::u16string Utf16FromWide(std::wstring_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (wchar_t unit : text) {
    char32_t c = static_cast<char32_t>(unit) & (kWideIsUtf16 ? 0xFFFF : 0xFFFFFFFF);
    if (c > 0x10FFFF) c = kReplacement;
    if (c > 0xFFFF) {
      c -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (c >> 10));
      units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
  }
  return units;
}

std::wstring WideFromUtf16(std::u16string_view units) {
  std::wstring text;
  text.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (!kWideIsUtf16 && IsHighSurrogate(unit) && i + 1 < units.size() &&
        IsLowSurrogate(units[i + 1])) {
      AppendCodePoint(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
      continue;
    }
    text += static_cast<wchar_t>(unit);
  }
  return text;
}

std::string Utf16BytesFromWide(std::wstring_view text, ByteOrder order) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : Utf16FromWide(text)) AppendUnit(bytes, unit, order);
  return bytes;
}

std::wstring WideFromUtf16Bytes(std::string_view bytes, ByteOrder order) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(order == ByteOrder::LittleEndian ? (second << 8) | first
                                                                      : (first << 8) | second);
  }
  return WideFromUtf16(units);
}

std::wstring WideFromUtf8(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
      minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
      minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
      minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= bytes.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (next & 0x3F);
    }
    if (valid && length > 1 &&
        (c < minimum || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))) {
      valid = false;
    }
    if (!valid) {
      text += static_cast<wchar_t>(kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(text, c);
    i += length;
  }
  return text;
}

std::string Utf8FromWide(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) {
    if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) c = kReplacement;
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  });
  return bytes;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiLetter(a[i]) != LowerAsciiLetter(b[i])) return false;
  }
  return true;
}

}  // namespace korvan::platform
