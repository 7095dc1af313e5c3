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

// Reports the record's status; the caller holds the lock.
bool Report(ServiceRecord& record) {
  const bool reported = SetServiceStatus(record.handle, &record.status) != FALSE;
  std::wstring line = L"state " + StateName(record.status.dwCurrentState) + L", exit code " +
                      std::to_wstring(record.status.dwWin32ExitCode) + L"/" +
                      std::to_wstring(record.status.dwServiceSpecificExitCode);
  if (!reported) line += L": not reported, error " + std::to_wstring(GetLastError());
  record.application->Note(line);
  return reported;
}

void WINAPI ControlHandler(DWORD control) {
  ServiceRecord& record = *current;
  record.application->Note(L"control " + std::to_wstring(control) + L" received");
  EnterCriticalSection(&record.lock);
  switch (ActionForControl(control, record.stopped)) {
    case ControlAction::StopPending:
      record.status.dwWin32ExitCode = NO_ERROR;
      record.status.dwCheckPoint = 0;
      record.status.dwCurrentState = SERVICE_STOP_PENDING;
      record.status.dwWaitHint = kStopWaitHintMs;
      // Asked for under the lock, so that none is still being made once the
      // service main routine has begun to close the run.
      if (Report(record) && !record.closing) record.application->RequestStop();
      break;
    case ControlAction::Rereport:
      Report(record);
      break;
    case ControlAction::None:
      break;
  }
  LeaveCriticalSection(&record.lock);
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  ServiceRecord& record = *current;
  record.handle = RegisterServiceCtrlHandlerW(record.name.c_str(), ControlHandler);
  if (record.handle == nullptr) {
    record.application->Note(L"RegisterServiceCtrlHandlerW failed, error " +
                             std::to_wstring(GetLastError()));
    return;
  }
  EnterCriticalSection(&record.lock);
  record.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  record.status.dwCurrentState = SERVICE_RUNNING;
  record.status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
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
  record.status.dwCurrentState = SERVICE_STOPPED;
  record.status.dwWin32ExitCode = codes.win32_exit_code;
  record.status.dwServiceSpecificExitCode = codes.service_exit_code;
  Report(record);
  LeaveCriticalSection(&record.lock);
}

}  // namespace

int RunService(const std::wstring& service_name, ServiceApplication& application) {
  ServiceRecord record;
  record.name = service_name;
  record.application = &application;
  InitializeCriticalSection(&record.lock);
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
  DeleteCriticalSection(&record.lock);
  return 0;
}

std::vector<std::string> ServiceVmOptions() { return {}; }

bool AnnounceServiceReady() { return false; }

bool AnnounceServiceStopping() { return false; }

}  // namespace korvan::platform
