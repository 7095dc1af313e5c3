#include "platform/service.h"

#include <windows.h>

#include "platform/shared/service_rules.h"

namespace korvan::platform {

namespace {

// The record of the one service this process runs. The Service Control
// Manager's callbacks carry no context, so they reach it through `current`.
struct ServiceRecord {
  std::wstring name;
  ServiceApplication* application = nullptr;
  SERVICE_STATUS status{};
  SERVICE_STATUS_HANDLE handle = nullptr;
  // The handler and the service main routine both report; the lock keeps a
  // late STOP_PENDING from following STOPPED.
  CRITICAL_SECTION lock;
  bool closing = false;  // the run has ended: stop requests go nowhere
  bool stopped = false;
  // While stopping, a thread re-reports STOP_PENDING with an advancing check
  // point, so that a stop longer than the wait hint is not taken for a hang.
  HANDLE progress = nullptr;
  HANDLE finished = nullptr;  // set once the run and the VM have ended
};

ServiceRecord* current = nullptr;

std::wstring StateName(DWORD state) {
  switch (state) {
    case SERVICE_RUNNING: return L"RUNNING";
    case SERVICE_STOP_PENDING: return L"STOP_PENDING";
    case SERVICE_STOPPED: return L"STOPPED";
    default: return std::to_wstring(state);
  }
}

std::wstring StatusLine(const SERVICE_STATUS& status) {
  std::wstring line = L"state " + StateName(status.dwCurrentState) + L", exit code " +
                      std::to_wstring(status.dwWin32ExitCode) + L"/" +
                      std::to_wstring(status.dwServiceSpecificExitCode);
  if (status.dwCurrentState == SERVICE_STOP_PENDING) {
    line += L", check point " + std::to_wstring(status.dwCheckPoint);
  }
  return line;
}

// Reports the record's status; the caller holds the lock.
bool Report(ServiceRecord& record) {
  const bool reported = SetServiceStatus(record.handle, &record.status) != FALSE;
  std::wstring line = StatusLine(record.status);
  if (!reported) line += L": not reported, error " + std::to_wstring(GetLastError());
  record.application->Note(line);
  return reported;
}

DWORD WINAPI ReportStopProgress(LPVOID) {
  ServiceRecord& record = *current;
  while (WaitForSingleObject(record.finished, kStopProgressIntervalMs) == WAIT_TIMEOUT) {
    EnterCriticalSection(&record.lock);
    if (!record.stopped && record.status.dwCurrentState == SERVICE_STOP_PENDING) {
      ++record.status.dwCheckPoint;
      Report(record);
    }
    LeaveCriticalSection(&record.lock);
  }
  return 0;
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, LPVOID, LPVOID) {
  ServiceRecord& record = *current;
  record.application->Note(L"control " + std::to_wstring(control) + L" received");
  EnterCriticalSection(&record.lock);
  switch (ActionForControl(control, record.stopped)) {
    case ControlAction::StopPending:
      record.status.dwWin32ExitCode = NO_ERROR;
      // A repeated stop goes on counting: the check point only ever grows.
      if (record.status.dwCurrentState == SERVICE_STOP_PENDING) {
        ++record.status.dwCheckPoint;
      } else {
        record.status.dwCheckPoint = 0;
      }
      record.status.dwCurrentState = SERVICE_STOP_PENDING;
      record.status.dwWaitHint = kStopWaitHintMs;
      // Asked for under the lock, so that none is still being made once the
      // service main routine has begun to close the run.
      if (Report(record) && !record.closing) {
        if (record.progress == nullptr && record.finished != nullptr) {
          record.progress = CreateThread(nullptr, 0, ReportStopProgress, nullptr, 0, nullptr);
        }
        record.application->RequestStop();
      }
      break;
    case ControlAction::Rereport:
      Report(record);
      break;
    case ControlAction::None:
      break;
  }
  LeaveCriticalSection(&record.lock);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  ServiceRecord& record = *current;
  // The extended handler: pre-shutdown is one of its controls.
  record.handle = RegisterServiceCtrlHandlerExW(record.name.c_str(), ControlHandler, nullptr);
  if (record.handle == nullptr) {
    record.application->Note(L"RegisterServiceCtrlHandlerExW failed, error " +
                             std::to_wstring(GetLastError()));
    return;
  }
  EnterCriticalSection(&record.lock);
  record.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  record.status.dwCurrentState = SERVICE_RUNNING;
  // Pre-shutdown comes early enough for stop and the VM's teardown to finish
  // before the system ends the process; shutdown still serves where it is not sent.
  record.status.dwControlsAccepted =
      SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN;
  record.status.dwWin32ExitCode = NO_ERROR;
  record.status.dwServiceSpecificExitCode = 0;
  record.status.dwCheckPoint = 0;
  record.status.dwWaitHint = 0;
  const bool running = Report(record);
  LeaveCriticalSection(&record.lock);
  if (!running) return;

  // The service name first, then the start parameters.
  const std::vector<std::wstring> start_arguments(argv, argv + argc);
  const ServiceExitCodes codes = StoppedExitCodes(record.application->Run(start_arguments));
  EnterCriticalSection(&record.lock);
  record.closing = true;
  LeaveCriticalSection(&record.lock);
  // The manager may end the process once it hears STOPPED: the VM's teardown
  // (shutdown hooks, the application's last threads) comes first.
  record.application->Close();

  EnterCriticalSection(&record.lock);
  record.stopped = true;
  LeaveCriticalSection(&record.lock);
  if (record.finished != nullptr) SetEvent(record.finished);
  if (record.progress != nullptr) {
    WaitForSingleObject(record.progress, INFINITE);
    CloseHandle(record.progress);
    record.progress = nullptr;
  }
  // Once the manager hears STOPPED, the dispatcher returns on the entry
  // thread, which tears the record down, and the process may end: this
  // thread touches nothing after the report.
  record.status.dwCurrentState = SERVICE_STOPPED;
  record.status.dwWin32ExitCode = codes.win32_exit_code;
  record.status.dwServiceSpecificExitCode = codes.service_exit_code;
  record.status.dwCheckPoint = 0;
  record.status.dwWaitHint = 0;
  record.application->Note(StatusLine(record.status));
  const SERVICE_STATUS_HANDLE handle = record.handle;
  SERVICE_STATUS status = record.status;
  SetServiceStatus(handle, &status);
}

}  // namespace

int RunService(const std::wstring& service_name, ServiceApplication& application) {
  ServiceRecord record;
  record.name = service_name;
  record.application = &application;
  InitializeCriticalSection(&record.lock);
  record.finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  current = &record;
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(record.name.c_str()), ServiceMain},
                                  {nullptr, nullptr}};
  // Returns when the service has stopped, or at once (error 1063) when the
  // process was not started by the Service Control Manager.
  if (!StartServiceCtrlDispatcherW(table)) {
    application.Note(L"StartServiceCtrlDispatcherW failed, error " +
                     std::to_wstring(GetLastError()));
  }
  current = nullptr;
  if (record.finished != nullptr) CloseHandle(record.finished);
  DeleteCriticalSection(&record.lock);
  return 0;
}

void ReportServiceExit(int exit_code) {
  ServiceRecord* record = current;
  if (record == nullptr || record->handle == nullptr) return;
  EnterCriticalSection(&record->lock);
  if (record->stopped) {
    LeaveCriticalSection(&record->lock);
    return;
  }
  record->stopped = true;
  const ServiceExitCodes codes = ExitedExitCodes(exit_code);
  record->status.dwCurrentState = SERVICE_STOPPED;
  record->status.dwWin32ExitCode = codes.win32_exit_code;
  record->status.dwServiceSpecificExitCode = codes.service_exit_code;
  record->status.dwCheckPoint = 0;
  record->status.dwWaitHint = 0;
  const SERVICE_STATUS_HANDLE handle = record->handle;
  SERVICE_STATUS status = record->status;
  LeaveCriticalSection(&record->lock);
  if (record->finished != nullptr) SetEvent(record->finished);
  // As at the end of the service main routine: once the manager hears
  // STOPPED, the entry thread tears the record down.
  record->application->Note(StatusLine(status));
  SetServiceStatus(handle, &status);
}

std::vector<std::string> ServiceVmOptions() { return {}; }

bool AnnounceServiceReady() { return false; }

bool AnnounceServiceStopping() { return false; }

}  // namespace korvan::platform
