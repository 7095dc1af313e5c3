#include "platform/text.h"

#include <windows.h>

namespace korvan::platform {

std::string NarrowFromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int wide_length = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide_length, result.data(), length, nullptr,
                      nullptr);
  return result;
}

std::wstring WideFromNarrow(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int narrow_length = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), narrow_length, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), narrow_length, result.data(), length);
  return result;
}

}  // namespace korvan::platform
