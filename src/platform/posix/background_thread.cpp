#include "platform/background_thread.h"

#include <pthread.h>

namespace korvan::platform {

struct BackgroundThread::State {
  Work work = nullptr;
  void* context = nullptr;
  pthread_t thread{};
  bool running = false;
};

BackgroundThread::BackgroundThread() : state_(std::make_unique<State>()) {}

BackgroundThread::~BackgroundThread() { Join(); }

bool BackgroundThread::Start(Work work, void* context) {
  if (state_->running) return false;
  state_->work = work;
  state_->context = context;
  state_->running = pthread_create(
                        &state_->thread, nullptr,
                        [](void* argument) -> void* {
                          const auto* state = static_cast<const State*>(argument);
                          state->work(state->context);
                          return nullptr;
                        },
                        state_.get()) == 0;
  return state_->running;
}

void BackgroundThread::Join() {
  if (!state_->running) return;
  pthread_join(state_->thread, nullptr);
  state_->running = false;
}

}  // namespace korvan::platform
