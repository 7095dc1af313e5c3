// The "Java Exception" dialog (template 301): the stack trace of an exception
// that escaped main, read-only and scrollable, with Ignore and Stop.
#include "platform/exception_dialog.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/dialog_binding.h"
#include "platform/win32/dialog_ids.h"

namespace korvan::platform {

namespace {

// A multi-line edit control breaks lines only at CR LF.
std::wstring WithWindowsLineEnds(const std::wstring& text) {
  std::wstring result;
  result.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
    result += text[i];
  }
  return result;
}

class UncaughtExceptionDialog : public DialogObject {
 public:
  explicit UncaughtExceptionDialog(const std::wstring& stack_trace)
      : stack_trace_(WithWindowsLineEnds(stack_trace)) {}

  INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        SetDlgItemTextW(dialog, KORVAN_CONTROL_STACK_TRACE, stack_trace_.c_str());
        // Ignore takes the focus, so that Enter keeps the data and the trace
        // is not shown all selected.
        SetFocus(GetDlgItem(dialog, KORVAN_CONTROL_IGNORE));
        return FALSE;
      case WM_COMMAND:
        switch (LOWORD(wparam)) {
          case KORVAN_CONTROL_STOP: EndDialog(dialog, KORVAN_CONTROL_STOP); return TRUE;
          // Escape and the close box keep the application's data: the same as Ignore.
          case KORVAN_CONTROL_IGNORE:
          case IDCANCEL: EndDialog(dialog, KORVAN_CONTROL_IGNORE); return TRUE;
          default: return FALSE;
        }
      default:
        return FALSE;
    }
  }

 private:
  std::wstring stack_trace_;
};

}  // namespace

ExceptionDecision AskAboutUncaughtException(const std::wstring& stack_trace) {
  UncaughtExceptionDialog dialog(stack_trace);
  const INT_PTR result = ShowBoundDialog(dialog, KORVAN_DIALOG_UNCAUGHT_EXCEPTION, nullptr);
  return result == KORVAN_CONTROL_STOP ? ExceptionDecision::Stop : ExceptionDecision::Ignore;
}

void EndProcessNow(int exit_code) {
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace korvan::platform
