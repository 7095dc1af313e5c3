#include "launcher/service_host.h"

#include <optional>

#include "jvm/application_threads.h"
#include "jvm/static_stop.h"
#include "jvm/system_exit.h"
#include "launcher/launcher.h"
#include "launcher/stop_request.h"
#include "messages/error_sink.h"
#include "messages/trace.h"
#include "platform/background_thread.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/service.h"
#include "platform/service_start_failure.h"
#include "platform/system_log.h"
#include "platform/text.h"

namespace korvan {

namespace {

std::wstring DescribeStopCall(StopCallResult result) {
  switch (result) {
    case StopCallResult::Called: return L"stop() returned";
    case StopCallResult::NoVm: return L"stop() not called: no VM to attach to";
    case StopCallResult::ClassNotFound: return L"stop() not called: main class not found";
    case StopCallResult::NoStopMethod: return L"stop() not called: the main class has no static stop()V";
  }
  return std::wstring();
}

// The application as the service manager sees it: a run, which lasts while
// the application's threads do, also after main returned; and stop requests,
// which reach the main class's static stop once main has started. An
// application without stop, or one whose threads outlive both stop and main,
// is ended as System.exit(0) ends it, so that its shutdown hooks run.
class ServiceHost : public platform::ServiceApplication {
 public:
  explicit ServiceHost(Launcher& launcher)
      : launcher_(launcher), stop_([this] { StartStopThread(); }) {}

  int Run(const std::vector<std::wstring>& start_arguments) override {
    // This is the manager's thread, not the entry's: without this its narrow
    // text (the VM options) would take the user's code page, not the one a
    // console run takes.
    platform::UseSystemDefaultLocale();
    const int code = RunApplication(launcher_, start_arguments, [this] {
      if (platform::AnnounceServiceReady()) Note(L"service manager told READY=1");
      stop_.MainStarted();
    });
    Note(code == 0 ? L"main returned" : L"application run failed");
    if (stop_.MainReturned()) EndThreadsLeftByStop();
    // A stop request may still come while the application runs on its own
    // threads; once DestroyJavaVM waits for them, none could attach.
    if (launcher_.vm) WaitForApplicationThreads(*launcher_.vm);
    stop_.Close();
    Note(L"application ended");
    return code;
  }

  // The stop thread ends before the VM goes; the backend calls this once its
  // threads that may start the stop thread (the control handler, the signal
  // thread) start none any more.
  void Close() override {
    stop_thread_.Join();
    launcher_.vm.reset();
    Note(L"the VM is destroyed");
  }

  void RequestStop() override {
    if (!stop_.Request()) {
      Note(L"stop already requested: stop() is not called again");
      return;
    }
    if (platform::AnnounceServiceStopping()) Note(L"service manager told STOPPING=1");
  }

  void Note(const std::wstring& line) override { Trace(L"service: " + line); }

 private:
  void StartStopThread() {
    Note(L"calling stop() on a thread of its own");
    if (!stop_thread_.Start(&ServiceHost::StopThreadMain, this)) {
      Note(L"the stop thread could not be started");
    }
  }

  static void StopThreadMain(void* context) {
    auto& host = *static_cast<ServiceHost*>(context);
    // The ready point comes after the VM was made, so it is there.
    const StopCallResult result = CallStaticStop(*host.launcher_.vm, host.launcher_.settings.main_class);
    host.Note(DescribeStopCall(result));
    if (result == StopCallResult::NoStopMethod) {
      host.EndApplication();
    } else if (result == StopCallResult::Called && host.stop_.StopReturned()) {
      host.EndThreadsLeftByStop();
    }
  }

  // Called once both stop and main have returned: threads that still run
  // would keep the service stopping for ever.
  void EndThreadsLeftByStop() {
    if (!ApplicationThreadsLeft(*launcher_.vm)) return;
    Note(L"stop() and main returned, but the application's threads still run");
    EndApplication();
  }

  void EndApplication() {
    Note(L"ending the application as System.exit(0) does");
    CallSystemExit(*launcher_.vm, 0);
    Note(L"System.exit(0) could not be called");
  }

  Launcher& launcher_;
  platform::BackgroundThread stop_thread_;
  StopRequest stop_;
};

// The application ends the process itself (System.exit, or the stop above):
// the manager hears that the service stopped before the process is gone.
void ReportServiceExit(int exit_code) {
  Trace(L"service: the application ends the process, exit code " + std::to_wstring(exit_code));
  platform::ReportServiceExit(exit_code);
}

// The error line also goes where an administrator looks: the system's log,
// and the trace file when one is set. What the VM described (an uncaught
// exception) goes to the log only: the trace file already holds it.
void WriteServiceErrorLine(const std::wstring& service_name, const Failure& failure) {
  WriteErrorLine(failure);
  if (!failure.silent()) WriteToTraceFile(ErrorLine(failure.text));
  const std::wstring line = failure.silent() ? failure.described : ErrorLineText(failure.text);
  if (!line.empty() && !platform::WriteToSystemLog(service_name, line)) {
    Trace(L"service: the error line could not be logged as an event, error " +
          std::to_wstring(platform::LastErrorCode()));
  }
}

// The service's name even when the settings could not be read.
std::wstring OwnServiceName() {
  const std::optional<std::wstring> path = platform::ModuleFileName();
  return path ? ServiceNameOf(*path, platform::GetPathRules().separator) : std::wstring();
}

void UseServiceErrorSink(const std::wstring& service_name) {
  SetErrorSink([service_name](const Failure& failure) { WriteServiceErrorLine(service_name, failure); });
}

}  // namespace

std::wstring ServiceNameOf(const std::wstring& launcher_path, wchar_t separator) {
  const std::size_t last = launcher_path.rfind(separator);
  return last == std::wstring::npos ? launcher_path : launcher_path.substr(last + 1);
}

int EndFailedStartUp(const Launcher& launcher, const Failure& failure) {
  const bool by_manager = platform::StartedByServiceManager();
  if (!launcher.settings.service && !by_manager) {
    ReportFailure(failure);
    return -1;
  }
  const std::wstring name = OwnServiceName();
  UseServiceErrorSink(name);
  ReportFailure(failure);
  if (!by_manager) return -1;
  Trace(L"service: start-up failed; telling the service manager that " + name + L" stopped");
  return platform::ReportFailedServiceStart(name);
}

int RunAsService(Launcher& launcher) {
  const std::wstring name =
      ServiceNameOf(launcher.settings_source.launcher_path, platform::GetPathRules().separator);
  UseServiceErrorSink(name);
  if (name.empty()) return -1;
  Trace(L"service: running as service " + name);
  for (const std::string& option : platform::ServiceVmOptions()) {
    Trace(L"VM option for the service host: " + platform::WideFromNarrow(option));
    launcher.host_vm_options.push_back(option);
  }
  launcher.host_exit_hook = ReportServiceExit;
  ServiceHost host(launcher);
  return platform::RunService(name, host);
}

}  // namespace korvan
