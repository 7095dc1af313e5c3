#include "platform/environment.h"

#include <windows.h>

namespace korvan::platform {

std::optional<std::wstring> ReadEnvironmentVariable(const std::wstring& name) {
  DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring buffer(size, L'\0');
  DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), size);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  if (length >= size) return std::nullopt;  // changed between the two calls
  buffer.resize(length);
  return buffer;
}

bool WriteEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  return SetEnvironmentVariableW(name.c_str(), value.c_str()) != 0;
}

bool RemoveEnvironmentVariable(const std::wstring& name) {
  return SetEnvironmentVariableW(name.c_str(), nullptr) != 0;
}

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
  const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::wstring buffer(size, L'\0');
  if (ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size) == 0) return text;
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  return buffer;
}

}  // namespace korvan::platform
