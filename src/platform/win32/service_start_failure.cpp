#include "platform/service_start_failure.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "platform/shared/service_rules.h"

namespace korvan::platform {

namespace {

std::wstring failed_service_name;
SERVICE_STATUS_HANDLE failed_service_handle = nullptr;

// Controls that come before the manager has read STOPPED find nothing to do.
void WINAPI IgnoreControl(DWORD) {}

void WINAPI ReportStoppedMain(DWORD, LPWSTR*) {
  failed_service_handle = RegisterServiceCtrlHandlerW(failed_service_name.c_str(), IgnoreControl);
  if (failed_service_handle == nullptr) return;
  const ServiceExitCodes codes = StoppedExitCodes(-1);
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = SERVICE_STOPPED;
  status.dwWin32ExitCode = codes.win32_exit_code;
  status.dwServiceSpecificExitCode = codes.service_exit_code;
  SetServiceStatus(failed_service_handle, &status);
}

// Whether the process that started this one has the file name `name`.
bool ParentIsNamed(const wchar_t* name) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  bool named = false;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more && parent != 0;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == parent) {
      named = _wcsicmp(entry.szExeFile, name) == 0;
      break;
    }
  }
  CloseHandle(snapshot);
  return named;
}

}  // namespace

bool StartedByServiceManager() { return ParentIsNamed(L"services.exe"); }

int ReportFailedServiceStart(const std::wstring& service_name) {
  failed_service_name = service_name;
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(failed_service_name.c_str()), ReportStoppedMain},
                                  {nullptr, nullptr}};
  StartServiceCtrlDispatcherW(table);
  return -1;
}

}  // namespace korvan::platform
