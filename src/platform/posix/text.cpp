#include "platform/text.h"

#include <climits>
#include <cwchar>

namespace korvan::platform {

std::string NarrowFromWide(const std::wstring& text) {
  std::string result;
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  for (wchar_t c : text) {
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
  while (left > 0) {
    wchar_t c = 0;
    std::size_t length = std::mbrtowc(&c, cursor, left, &state);
    if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
      // An invalid or cut sequence: replace one byte and go on.
      state = std::mbstate_t{};
      result += L'\uFFFD';
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
