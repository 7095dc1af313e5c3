#include "platform/executable_resources.h"

#include <windows.h>

namespace korvan::platform {
namespace {

constexpr WORD kSettingsResourceId = 8000;
const wchar_t* const kRawData = MAKEINTRESOURCEW(10);  // RT_RCDATA

}  // namespace

bool CanEditExecutableResources() { return true; }

bool WriteSettingsResource(const std::wstring& executable, const std::string* bytes) {
  HANDLE update = BeginUpdateResourceW(executable.c_str(), FALSE);
  if (update == nullptr) return false;
  void* data = bytes != nullptr ? const_cast<char*>(bytes->data()) : nullptr;
  const DWORD size = bytes != nullptr ? static_cast<DWORD>(bytes->size()) : 0;
  if (!UpdateResourceW(update, kRawData, MAKEINTRESOURCEW(kSettingsResourceId),
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data, size)) {
    EndUpdateResourceW(update, TRUE);  // discard
    return false;
  }
  return EndUpdateResourceW(update, FALSE) != 0;
}

bool ReadSettingsResource(const std::wstring& executable, std::string& bytes) {
  HMODULE module = LoadLibraryExW(executable.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return false;
  bool read = false;
  if (HRSRC found = FindResourceExW(module, kRawData, MAKEINTRESOURCEW(kSettingsResourceId), 0)) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      if (const void* data = LockResource(loaded)) {
        bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
        read = true;
      }
    }
  }
  FreeLibrary(module);
  return read;
}

}  // namespace korvan::platform
