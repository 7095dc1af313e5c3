#include "platform/background_thread.h"

#include <windows.h>

namespace korvan::platform {

struct BackgroundThread::State {
  Work work = nullptr;
  void* context = nullptr;
  HANDLE thread = nullptr;
};

BackgroundThread::BackgroundThread() : state_(std::make_unique<State>()) {}

BackgroundThread::~BackgroundThread() { Join(); }

bool BackgroundThread::Start(Work work, void* context) {
  if (state_->thread != nullptr) return false;
  state_->work = work;
  state_->context = context;
  state_->thread = CreateThread(
      nullptr, 0,
      [](LPVOID argument) -> DWORD {
        const auto* state = static_cast<const State*>(argument);
        state->work(state->context);
        return 0;
      },
      state_.get(), 0, nullptr);
  return state_->thread != nullptr;
}

void BackgroundThread::Join() {
  if (state_->thread == nullptr) return;
  WaitForSingleObject(state_->thread, INFINITE);
  CloseHandle(state_->thread);
  state_->thread = nullptr;
}

}  // namespace korvan::platform
