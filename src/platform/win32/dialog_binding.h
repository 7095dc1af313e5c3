#pragma once
// Binds a dialog object to its window. The window exists only once
// DialogBoxParamW runs, so the object registers itself for the current thread
// just before; the first message that reaches the new dialog on that thread
// takes the registration and binds the window to the object.

#include <windows.h>

namespace korvan::platform {

class DialogObject {
 public:
  virtual ~DialogObject() = default;
  // A message of the bound dialog; returns what the dialog procedure returns.
  virtual INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) = 0;
};

// Shows the dialog template `template_id` of this executable modally with
// `object` handling its messages. -1 with ERROR_OUTOFMEMORY when the binding
// could not be prepared; otherwise what DialogBoxParamW returns.
INT_PTR ShowBoundDialog(DialogObject& object, int template_id, HWND owner);

}  // namespace korvan::platform
