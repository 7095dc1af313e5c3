#pragma once
// The rendezvous between starts of one launcher executable: the first start
// listens, a later one hands its argument area over and waits for the reply.
// Windows: a named file mapping, a registered thread message and named
// events and mutex. POSIX: a Unix domain socket only the same user can reach.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvan::platform {

// How a second instance's hand-over went.
enum class HandOverResult {
  kHandedOver,
  kFailed,
  // The rendezvous is held by a process that is not this launcher run by
  // this user: it is told nothing.
  kNotOurs,
};

// One second instance's request, as the first instance serves it.
class InstanceRequest {
 public:
  virtual ~InstanceRequest() = default;
  // The argument area as it arrived: at most ArgumentAreaCapacity() bytes.
  virtual const std::vector<std::uint8_t>& area() const = 0;
  // The code the second instance ends with. Only the first reply counts.
  virtual void Reply(std::int32_t code) = 0;
};

// Serves one request, on a thread of its own, once the first instance is ready.
using InstanceRequestHandler = std::function<void(InstanceRequest&)>;

class InstanceChannel {
 public:
  virtual ~InstanceChannel() = default;
  virtual bool first() const = 0;

  // First instance: starts taking requests. False when that cannot be set
  // up; the caller then drops the channel and runs without the guard.
  virtual bool Listen(InstanceRequestHandler handler) = 0;
  // First instance: the application is about to start; requests waiting for
  // that go on, later ones are served at once.
  virtual void SignalReady() = 0;
  // First instance: the exit code that second instances still waiting for a
  // reply end with when this process ends.
  virtual void SetExitCode(int code) = 0;
  // First instance, before the run is torn down: stops taking requests.
  // Requests that arrive from now on, or that still wait for the ready point,
  // are answered -1 and never reach the handler; handlers still running get
  // a few seconds to finish, and their second instances are answered -1 after
  // that. Once this returns the handler is not called again.
  virtual void StopServing() = 0;

  // Second instance: hands the area over.
  virtual HandOverResult HandOver(const std::vector<std::uint8_t>& area) = 0;
  // Second instance: the reply, or the first instance's exit code when it
  // ended without one.
  virtual int WaitForReply() = 0;
};

// The largest argument area this system carries.
std::size_t ArgumentAreaCapacity();

// The rendezvous named `name` (one per launcher executable), as first or as
// second instance; null when it cannot be set up, and the guard is off.
std::unique_ptr<InstanceChannel> OpenInstanceChannel(const std::wstring& name);

}  // namespace korvan::platform
