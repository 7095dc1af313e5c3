#include "platform/win32/dialog_binding.h"

#include <new>
#include <utility>
#include <vector>

namespace korvan::platform {

namespace {

constexpr wchar_t kBindingProperty[] = L"KorvanDialog";

// The process-wide list of dialogs about to open, one per thread at most.
class PendingDialogs {
 public:
  PendingDialogs() { InitializeCriticalSection(&guard_); }
  ~PendingDialogs() { DeleteCriticalSection(&guard_); }

  bool Register(DialogObject* object) {
    EnterCriticalSection(&guard_);
    bool registered = true;
    try {
      entries_.emplace_back(GetCurrentThreadId(), object);
    } catch (const std::bad_alloc&) {
      registered = false;
    }
    LeaveCriticalSection(&guard_);
    return registered;
  }

  // The entry of the current thread, removed from the list; null when none.
  DialogObject* Take() {
    EnterCriticalSection(&guard_);
    DialogObject* object = nullptr;
    const DWORD thread = GetCurrentThreadId();
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
      if (entry->first == thread) {
        object = entry->second;
        entries_.erase(entry);
        break;
      }
    }
    LeaveCriticalSection(&guard_);
    return object;
  }

 private:
  CRITICAL_SECTION guard_;
  std::vector<std::pair<DWORD, DialogObject*>> entries_;
};

PendingDialogs& Pending() {
  static PendingDialogs pending;
  return pending;
}

INT_PTR CALLBACK BoundDialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* object = static_cast<DialogObject*>(GetPropW(dialog, kBindingProperty));
  if (object == nullptr) {
    object = Pending().Take();
    if (object == nullptr) return FALSE;
    SetPropW(dialog, kBindingProperty, object);
  }
  if (message == WM_NCDESTROY) RemovePropW(dialog, kBindingProperty);
  return object->HandleMessage(dialog, message, wparam, lparam);
}

}  // namespace

INT_PTR ShowBoundDialog(DialogObject& object, int template_id, HWND owner) {
  if (!Pending().Register(&object)) {
    SetLastError(ERROR_OUTOFMEMORY);
    return -1;
  }
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id),
                                         owner, BoundDialogProcedure, 0);
  // A dialog that never opened leaves its registration behind.
  Pending().Take();
  return result;
}

}  // namespace korvan::platform
