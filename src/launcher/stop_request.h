#pragma once
// When a service's stop method may be called. A stop request can arrive at
// any time: while the VM is still being created, while main runs, or after
// main has returned. The stop call starts once, and only while a VM exists
// with main started: a request that comes too early waits for the ready point.

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
  // Main has returned and the VM is going away: requests start nothing more.
  void MainEnded();

  bool requested() const { return (state_.load() & kRequested) != 0; }

 private:
  enum : unsigned { kRequested = 1, kStarted = 2, kEnded = 4, kCalled = 8 };
  // Adds `flag`; true when this change is the one that lets the stop call
  // start. `was_set` tells whether the flag was there already.
  bool Add(unsigned flag, bool& was_set);
  void Add(unsigned flag);

  std::function<void()> start_stop_;
  std::atomic<unsigned> state_{0};
};

}  // namespace korvan
