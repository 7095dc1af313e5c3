#include "platform/text.h"

#include <climits>
#include <cwchar>

namespace korvan::platform {
namespace {

// A byte that does not decode in the locale's encoding (a UTF-8 file name
// under the C locale, say) is carried as one of U+DC80 to U+DCFF, which no
// valid text holds, and turns back into the same byte: paths survive the trip
// through a wide string whatever the locale.
constexpr wchar_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(wchar_t c) { return c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF; }

}  // namespace

std::string NarrowFromWide(const std::wstring& text) {
  std::string result;
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Every locale encoding glibc offers keeps ASCII as it is: a run of it is
    // copied without a call per character.
    if (text[i] > 0 && text[i] < 0x80 && std::mbsinit(&state)) {
      for (; i < text.size() && text[i] > 0 && text[i] < 0x80; ++i) {
        result.push_back(static_cast<char>(text[i]));
      }
      if (i == text.size()) break;
    }
    const wchar_t c = text[i];
    if (IsEscapedByte(c)) {
      result += static_cast<char>(c - kEscapedByteBase);
      continue;
    }
    std::size_t length = std::wcrtomb(buffer, c, &state);
    if (length == static_cast<std::size_t>(-1)) {
      state = std::mbstate_t{};
      result += '?';
      continue;
    }
    result.append(buffer, length);
  }
  return result;
}

std::wstring WideFromNarrow(const std::string& text) {
  std::wstring result;
  std::mbstate_t state{};
  const char* cursor = text.data();
  std::size_t left = text.size();
  result.reserve(left);
  while (left > 0) {
    const auto first = static_cast<unsigned char>(*cursor);
    if (first < 0x80 && first > 0 && std::mbsinit(&state)) {
      result += static_cast<wchar_t>(first);
      ++cursor;
      --left;
      continue;
    }
    wchar_t c = 0;
    std::size_t length = std::mbrtowc(&c, cursor, left, &state);
    if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
      // An invalid or cut sequence: carry its first byte and go on.
      state = std::mbstate_t{};
      const auto byte = static_cast<unsigned char>(*cursor);
      result += byte >= 0x80 ? static_cast<wchar_t>(kEscapedByteBase + byte) : L'\uFFFD';
      ++cursor;
      --left;
      continue;
    }
    if (length == 0) length = 1;  // an embedded NUL
    result += c;
    cursor += length;
    left -= length;
  }
  return result;
}

}  // namespace korvan::platform
