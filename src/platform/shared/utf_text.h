#pragma once
// Text encodings that do not depend on the locale, whatever the width of
// wchar_t (16 bits on Windows, 32 elsewhere), and the one case-insensitive
// comparison of names.
//
// UTF-16: surrogate pairs become one character where wchar_t is 32 bits. A
// lone surrogate is kept as it is in both directions, as Windows keeps it in
// its wchar_t units, so both systems hand on the same units. A value beyond
// U+10FFFF becomes U+FFFD.
// UTF-8: bytes that start no valid character become U+FFFD, one for each such
// byte; surrogates and values beyond U+10FFFF, which UTF-8 cannot hold, are
// written as U+FFFD.

#include <string>
#include <string_view>

namespace korvan::platform {

enum class ByteOrder { LittleEndian, BigEndian };

std::u16string Utf16FromWide(std::wstring_view text);
std::wstring WideFromUtf16(std::u16string_view units);

// The same with two bytes to a code unit; a last odd byte is dropped.
std::string Utf16BytesFromWide(std::wstring_view text, ByteOrder order);
std::wstring WideFromUtf16Bytes(std::string_view bytes, ByteOrder order);

std::wstring WideFromUtf8(std::string_view bytes);
std::string Utf8FromWide(std::wstring_view text);

// Equal when only the case of the letters A to Z differs; no other character
// folds (not "Ä" and "ä", not "@" and "`").
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

}  // namespace korvan::platform
