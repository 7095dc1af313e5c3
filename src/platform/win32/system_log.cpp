#include "platform/system_log.h"

#include <windows.h>

namespace korvan::platform {

namespace {
// No message file is registered for the source, so the event viewer shows
// the line itself as the event's text.
constexpr DWORD kFailureEvent = 1;
}  // namespace

bool WriteToSystemLog(const std::wstring& source, const std::wstring& line) {
  const HANDLE log = RegisterEventSourceW(nullptr, source.c_str());
  if (log == nullptr) return false;
  const wchar_t* strings[] = {line.c_str()};
  const bool reported = ReportEventW(log, EVENTLOG_ERROR_TYPE, 0, kFailureEvent, nullptr, 1, 0,
                                     strings, nullptr) != FALSE;
  const DWORD error = GetLastError();
  DeregisterEventSource(log);
  SetLastError(error);
  return reported;
}

}  // namespace korvan::platform
