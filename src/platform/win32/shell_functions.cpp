#include "platform/win32/shell_functions.h"

#include <shellapi.h>

namespace korvan::platform::shell {

namespace {

// The function `name` of system library `library`; null when either is missing.
template <typename Function>
Function Resolve(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (module == nullptr) module = LoadLibraryW(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

HRESULT CoInitializeEx(void* reserved, DWORD model) {
  static const auto function = Resolve<HRESULT(WINAPI*)(void*, DWORD)>(L"ole32.dll", "CoInitializeEx");
  return function != nullptr ? function(reserved, model) : E_NOTIMPL;
}

void CoUninitialize() {
  static const auto function = Resolve<void(WINAPI*)()>(L"ole32.dll", "CoUninitialize");
  if (function != nullptr) function();
}

void CoTaskMemFree(void* memory) {
  static const auto function = Resolve<void(WINAPI*)(void*)>(L"ole32.dll", "CoTaskMemFree");
  if (function != nullptr) function(memory);
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
  static const auto function = Resolve<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      L"comctl32.dll", "InitCommonControlsEx");
  return function != nullptr ? function(controls) : FALSE;
}

LPITEMIDLIST SHBrowseForFolderW(BROWSEINFOW* browse) {
  static const auto function =
      Resolve<LPITEMIDLIST(WINAPI*)(BROWSEINFOW*)>(L"shell32.dll", "SHBrowseForFolderW");
  return function != nullptr ? function(browse) : nullptr;
}

BOOL SHGetPathFromIDListW(LPCITEMIDLIST item, wchar_t* path) {
  static const auto function =
      Resolve<BOOL(WINAPI*)(LPCITEMIDLIST, wchar_t*)>(L"shell32.dll", "SHGetPathFromIDListW");
  return function != nullptr ? function(item, path) : FALSE;
}

HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* directory, int show) {
  static const auto function = Resolve<HINSTANCE(WINAPI*)(
      HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int)>(
      L"shell32.dll", "ShellExecuteW");
  return function != nullptr ? function(owner, verb, file, parameters, directory, show)
                             : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

}  // namespace korvan::platform::shell
