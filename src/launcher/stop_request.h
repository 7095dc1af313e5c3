#pragma once
// When a service's stop may be called. A stop request can arrive at any time:
// while the VM is still being created, while main runs, or after main has
// returned while the application runs on, on threads of its own. The stop
// call starts once, and only while a VM exists with main started: a request
// that comes too early waits for the ready point.
//
// A stop that returns does not always end the application: threads it left
// running are ended once both stop and main have returned. Whichever of the
// two returns last is told so.

#include <atomic>
#include <functional>

namespace korvan {

class StopRequest {
 public:
  // `start_stop` starts the call of stop (on a thread of its own); it runs at
  // most once, on the thread whose event made the call possible.
  explicit StopRequest(std::function<void()> start_stop) : start_stop_(std::move(start_stop)) {}

  // The manager asks for a stop. False when a stop was asked for already.
  bool Request();
  // Main is about to be called: a remembered request is served now.
  void MainStarted();
  // Main has returned; the application may still run on its own threads, and
  // requests are still served. True when stop has returned already.
  bool MainReturned();
  // The stop call has returned. True when main has returned already.
  bool StopReturned();
  // The application has ended and the VM is going away: requests start
  // nothing more.
  void Close();

  bool requested() const { return (state_.load() & kRequested) != 0; }

 private:
  enum : unsigned {
    kRequested = 1,
    kStarted = 2,
    kClosed = 4,
    kCalled = 8,
    kMainReturned = 16,
    kStopReturned = 32,
  };
  // Adds `flag`; true when this change is the one that lets the stop call
  // start. `old_state` receives the state before the change.
  bool Add(unsigned flag, unsigned& old_state);
  void Add(unsigned flag);

  std::function<void()> start_stop_;
  std::atomic<unsigned> state_{0};
};

}  // namespace korvan
