// The missing-runtime dialog (template 201): the message, a link to the
// download page, and a folder browser whose choice enables OK only when the
// folder holds a JVM library that the run accepts.
#include "platform/runtime_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <optional>

#include "platform/shared/dialog_placement.h"
#include "platform/win32/dialog_binding.h"
#include "platform/win32/dialog_ids.h"
#include "platform/win32/hyperlink_control.h"
#include "platform/win32/shell_functions.h"

namespace korvan::platform {

namespace {

constexpr UINT kBrowseTitleMessage = 214;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;

ScreenRect ToScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Centres `dialog` over its owner or the work area, inside the work area.
void PlaceOnScreen(HWND dialog) {
  RECT window{};
  GetWindowRect(dialog, &window);
  RECT work_area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area, 0);
  std::optional<ScreenRect> owner_rect;
  const HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
    RECT rect{};
    GetWindowRect(owner, &rect);
    owner_rect = ToScreenRect(rect);
  }
  const ScreenPoint corner = PlaceDialog(ToScreenRect(window), owner_rect, ToScreenRect(work_area));
  SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring LoadText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

class MissingRuntimeDialog : public DialogObject {
 public:
  MissingRuntimeDialog(const std::wstring& message, const JvmLibraryOfFolder& library_of_folder)
      : message_(message), library_of_folder_(library_of_folder) {}

  const std::wstring& folder() const { return folder_; }
  const std::wstring& jvm_library_path() const { return jvm_library_path_; }

  INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        Initialise(dialog);
        return FALSE;  // the dialog manager leaves the focus alone
      case WM_COMMAND:
        // Acted on by control id alone: Escape and the close box arrive as IDCANCEL.
        switch (LOWORD(wparam)) {
          case IDOK: EndDialog(dialog, IDOK); return TRUE;
          case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
          case KORVAN_CONTROL_BROWSE: Browse(dialog); return TRUE;
          default: return FALSE;
        }
      default:
        return FALSE;
    }
  }

 private:
  void Initialise(HWND dialog) {
    link_.Subclass(GetDlgItem(dialog, KORVAN_CONTROL_DOWNLOAD_LINK));
    SetDlgItemTextW(dialog, KORVAN_CONTROL_MESSAGE, message_.c_str());
    SendDlgItemMessageW(dialog, KORVAN_CONTROL_ERROR_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_HAND)), 0);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    PlaceOnScreen(dialog);
  }

  void Browse(HWND dialog) {
    const std::wstring title = LoadText(kBrowseTitleMessage);
    wchar_t display_name[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = display_name;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = kBrowseFlags;
    LPITEMIDLIST item = shell::SHBrowseForFolderW(&browse);
    if (item == nullptr) return;  // cancelled: nothing changes
    wchar_t path[MAX_PATH] = {};
    shell::SHGetPathFromIDListW(item, path);
    shell::CoTaskMemFree(item);

    SetDlgItemTextW(dialog, KORVAN_CONTROL_CHOSEN_FOLDER, path);
    folder_ = path;
    if (!folder_.empty() && folder_.back() != L'\\') folder_ += L'\\';
    jvm_library_path_ = library_of_folder_(folder_);
    EnableWindow(GetDlgItem(dialog, IDOK), jvm_library_path_.empty() ? FALSE : TRUE);
  }

  std::wstring message_;
  const JvmLibraryOfFolder& library_of_folder_;
  std::wstring folder_;
  std::wstring jvm_library_path_;
  HyperlinkControl link_;
};

// The folder browser's new dialog style needs COM on this thread.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(shell::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) shell::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

// Whether the desktop of this process is one that a user sees. A service's,
// a task's that runs whether or not the user is logged on, or one of a
// remote shell session is not: a dialog there would wait for an answer that
// no one can give.
bool SomeoneCanAnswer() {
  const HWINSTA station = GetProcessWindowStation();
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  return station != nullptr &&
         GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed) != FALSE &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

RuntimeDialogResult AskForRuntime(const std::wstring& message,
                                  const JvmLibraryOfFolder& library_of_folder) {
  if (!SomeoneCanAnswer()) return RuntimeDialogResult{};
  const ComApartment apartment;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  shell::InitCommonControlsEx(&controls);

  MissingRuntimeDialog dialog(message, library_of_folder);
  const INT_PTR result = ShowBoundDialog(dialog, KORVAN_DIALOG_MISSING_RUNTIME, GetActiveWindow());
  RuntimeDialogResult outcome;
  if (result == -1 && GetLastError() == ERROR_OUTOFMEMORY) {
    outcome.end = RuntimeDialogEnd::OutOfMemory;
  } else if (result == IDOK) {
    outcome.end = RuntimeDialogEnd::Chosen;
    outcome.folder = dialog.folder();
    outcome.jvm_library_path = dialog.jvm_library_path();
  } else if (result == IDCANCEL) {
    outcome.end = RuntimeDialogEnd::Cancelled;
  }  // any other result: the dialog could not be made (no display), it was not shown
  return outcome;
}

}  // namespace korvan::platform
