#pragma once
// A thread that runs beside the caller and is waited for later, such as the
// one that calls a service's stop method.

#include <memory>

namespace korvan::platform {

class BackgroundThread {
 public:
  using Work = void (*)(void* context);

  BackgroundThread();
  BackgroundThread(const BackgroundThread&) = delete;
  BackgroundThread& operator=(const BackgroundThread&) = delete;
  // Waits for the thread when it is still running.
  ~BackgroundThread();

  // Starts `work(context)`; false when no thread could be made (nothing ran).
  // One start per object.
  bool Start(Work work, void* context);
  // Waits for the thread to end; returns at once when none was started.
  void Join();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace korvan::platform
