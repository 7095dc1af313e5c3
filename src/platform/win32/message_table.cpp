#include "platform/message_table.h"

#include <windows.h>

namespace korvan::platform {

std::wstring LoadMessageText(int id) {
  // With a zero buffer size LoadStringW hands back a pointer to the resource's
  // own text, which is not NUL-terminated, and its length.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                 reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  return std::wstring(text, static_cast<std::size_t>(length));
}

}  // namespace korvan::platform
