#include "platform/windowed_program.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace korvan::platform {

namespace {

// Points C stream `stream` (descriptor `descriptor`) at `handle` unless it
// already writes or reads somewhere.
void AttachStream(std::FILE* stream, int descriptor, DWORD which, int mode) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  if (_get_osfhandle(descriptor) != -1) return;
  // The handle stays the process's own standard handle: the descriptor
  // gets a duplicate, so that closing the stream never closes it.
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return;
  }
  const int opened = _open_osfhandle(reinterpret_cast<intptr_t>(copy), mode | _O_TEXT);
  if (opened == -1) {
    CloseHandle(copy);
    return;
  }
  if (_dup2(opened, descriptor) == 0) std::clearerr(stream);
  _close(opened);
}

}  // namespace

bool RunsWindowed() {
  const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

void ConnectInheritedStandardStreams() {
  AttachStream(stdin, 0, STD_INPUT_HANDLE, _O_RDONLY);
  AttachStream(stdout, 1, STD_OUTPUT_HANDLE, _O_WRONLY);
  AttachStream(stderr, 2, STD_ERROR_HANDLE, _O_WRONLY);
}

void ShowErrorBox(const std::wstring& title, const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace korvan::platform
