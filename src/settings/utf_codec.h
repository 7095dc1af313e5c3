#pragma once
// UTF-8 and UTF-16 byte strings to and from wide strings, whatever the width
// of wchar_t (16 bits on Windows, 32 elsewhere). Nothing here depends on the
// locale. Invalid input becomes U+FFFD rather than being dropped.

#include <string>
#include <string_view>

namespace korvan {

enum class ByteOrder { LittleEndian, BigEndian };

// Two bytes to a code unit; a last odd byte is dropped. Surrogate pairs become
// one character where wchar_t is 32 bits; lone surrogates are kept as they are.
std::wstring WideFromUtf16(std::string_view bytes, ByteOrder order);
std::string Utf16FromWide(std::wstring_view text, ByteOrder order);

std::wstring WideFromUtf8(std::string_view bytes);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace korvan
