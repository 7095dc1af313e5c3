#include "platform/service.h"

#include <pthread.h>
#include <signal.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>

#include "platform/text.h"

namespace korvan::platform {

namespace {

// The signals that the signal thread takes: SIGTERM and SIGINT stop the
// service; SIGQUIT, which asks HotSpot for a thread dump, would end the
// process by default once -Xrs keeps the VM away from it, so it is taken and
// only noted.
sigset_t ServiceSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGQUIT);
  return signals;
}

struct SignalThread {
  ServiceApplication& application;
  sigset_t signals;
  std::atomic<bool> finished{false};
};

void* TakeSignals(void* argument) {
  auto& context = *static_cast<SignalThread*>(argument);
  for (;;) {
    int received = 0;
    if (sigwait(&context.signals, &received) != 0) continue;
    if (context.finished.load()) return nullptr;
    const wchar_t* name = received == SIGTERM ? L"SIGTERM" : received == SIGINT ? L"SIGINT" : L"SIGQUIT";
    if (received == SIGQUIT) {
      context.application.Note(L"SIGQUIT received and ignored: no thread dump in a service");
      continue;
    }
    context.application.Note(std::wstring(name) + L" received: stop requested");
    context.application.RequestStop();
  }
}

// sd_notify's protocol: one datagram of "KEY=VALUE" lines to the socket that
// NOTIFY_SOCKET names, a path or, after "@", an abstract socket name.
bool NotifyServiceManager(const char* state) {
  const char* socket_name = getenv("NOTIFY_SOCKET");
  if (socket_name == nullptr || (socket_name[0] != '/' && socket_name[0] != '@')) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t length = strlen(socket_name);
  if (length >= sizeof(address.sun_path)) return false;
  memcpy(address.sun_path, socket_name, length);
  if (address.sun_path[0] == '@') address.sun_path[0] = '\0';
  const int descriptor = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (descriptor < 0) return false;
  const ssize_t sent = sendto(descriptor, state, strlen(state), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address),
                              static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length));
  close(descriptor);
  return sent == static_cast<ssize_t>(strlen(state));
}

}  // namespace

int RunService(const std::wstring& service_name, ServiceApplication& application) {
  (void)service_name;
  // Blocked before the VM thread exists, so that every thread made later
  // (the VM's own included) leaves these signals to the signal thread.
  SignalThread context{application, ServiceSignals()};
  pthread_sigmask(SIG_BLOCK, &context.signals, nullptr);
  pthread_t signal_thread;
  const bool taking = pthread_create(&signal_thread, nullptr, TakeSignals, &context) == 0;
  if (!taking) application.Note(L"no signal thread: stop requests cannot be taken");
  application.Note(L"taking SIGTERM and SIGINT as stop requests");

  const int code = application.Run({});

  if (taking) {
    context.finished.store(true);
    pthread_kill(signal_thread, SIGTERM);
    pthread_join(signal_thread, nullptr);
  }
  // The signals stay blocked: one that comes during teardown changes nothing.
  application.Close();
  return code;
}

std::vector<std::string> ServiceVmOptions() { return {"-Xrs"}; }

void ReportServiceExit(int) {}

bool AnnounceServiceReady() { return NotifyServiceManager("READY=1"); }

bool AnnounceServiceStopping() { return NotifyServiceManager("STOPPING=1"); }

}  // namespace korvan::platform
