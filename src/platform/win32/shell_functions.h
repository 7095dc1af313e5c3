#pragma once
// The shell, COM and common-controls functions that only the dialogs need,
// loaded on first use: an ordinary start then never loads shell32, ole32 or
// comctl32, whose start-up and shutdown work every launch would pay for.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

namespace korvan::platform::shell {

HRESULT CoInitializeEx(void* reserved, DWORD model);
void CoUninitialize();
void CoTaskMemFree(void* memory);
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
LPITEMIDLIST SHBrowseForFolderW(BROWSEINFOW* browse);
BOOL SHGetPathFromIDListW(LPCITEMIDLIST item, wchar_t* path);
HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* directory, int show);

}  // namespace korvan::platform::shell
