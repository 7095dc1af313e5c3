#pragma once
// Text as XML character data or an attribute value in double quotes.

#include <string>

namespace korvan::package {

inline std::wstring Xml(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    switch (c) {
      case L'&': escaped += L"&amp;"; break;
      case L'<': escaped += L"&lt;"; break;
      case L'>': escaped += L"&gt;"; break;
      case L'"': escaped += L"&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace korvan::package
