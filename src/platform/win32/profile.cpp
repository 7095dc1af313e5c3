#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace korvan::platform {

std::size_t ReadProfileValue(const std::wstring& file, const std::wstring& section,
                             const std::wstring& key, std::size_t capacity, std::wstring& value) {
  std::vector<wchar_t> buffer(capacity, L'\0');
  const DWORD copied = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                                static_cast<DWORD>(capacity), file.c_str());
  value.assign(buffer.data());  // up to the first NUL
  return copied;
}

bool WriteProfileValue(const std::wstring& file, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

void ForgetParsedProfiles() {}

}  // namespace korvan::platform
