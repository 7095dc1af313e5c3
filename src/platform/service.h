#pragma once
// Running the launcher under a service manager. Windows: the Service Control
// Manager (dispatcher, service main routine, control handler). Linux: a
// foreground process whose SIGTERM and SIGINT are stop requests, taken on one
// thread of their own, with readiness told through NOTIFY_SOCKET.

#include <cstdint>
#include <string>
#include <vector>

namespace korvan::platform {

// What a service host asks of the application it runs; called from the
// host's own threads.
class ServiceApplication {
 public:
  virtual ~ServiceApplication() = default;
  // Runs the application to its end with the manager's start arguments
  // (Windows: the service name, then the start parameters; Linux: none).
  // Returns 0 when main returned normally, -1 for a failed run.
  virtual int Run(const std::vector<std::wstring>& start_arguments) = 0;
  // Ends what the run left behind: the stop call, then the VM, whose
  // destruction waits for the application's other threads and runs its
  // shutdown hooks. Called once no stop request can come any more and before
  // the manager hears that the service stopped, as it may end the process then.
  virtual void Close() = 0;
  // A stop or shutdown request; returns at once.
  virtual void RequestStop() = 0;
  // One diagnostic line (a state reported, a control received).
  virtual void Note(const std::wstring& line) = 0;
};

// Serves `application` under `service_name` until its run ends; returns the
// process exit code.
int RunService(const std::wstring& service_name, ServiceApplication& application);

// VM options the host needs: Linux "-Xrs", so that the VM leaves SIGTERM,
// SIGINT and SIGQUIT to the launcher; none on Windows.
std::vector<std::string> ServiceVmOptions();

// Tells the service manager that main has started (Linux: "READY=1" to
// NOTIFY_SOCKET when set). Nothing on Windows: RUNNING was reported at start.
// True when a message was sent.
bool AnnounceServiceReady();

// The application ends the process itself (System.exit with `exit_code`),
// so the run never returns to the host. Windows: the manager hears now that
// the service stopped (exit code 0, or the service-specific error
// `exit_code`). Nothing on Linux: the process's exit code tells.
void ReportServiceExit(int exit_code);

// Tells the service manager that a stop has begun (Linux: "STOPPING=1").
// Nothing on Windows: the control handler reports STOP_PENDING.
bool AnnounceServiceStopping();

}  // namespace korvan::platform
