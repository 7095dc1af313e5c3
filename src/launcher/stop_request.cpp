#include "launcher/stop_request.h"

namespace korvan {

bool StopRequest::Add(unsigned flag, bool& was_set) {
  unsigned old_state = state_.load();
  unsigned new_state = 0;
  bool starts = false;
  do {
    new_state = old_state | flag;
    starts = (new_state & kRequested) && (new_state & kStarted) &&
             !(new_state & (kEnded | kCalled));
    if (starts) new_state |= kCalled;
  } while (!state_.compare_exchange_weak(old_state, new_state));
  was_set = (old_state & flag) != 0;
  return starts;
}

void StopRequest::Add(unsigned flag) {
  bool was_set = false;
  if (Add(flag, was_set)) start_stop_();
}

bool StopRequest::Request() {
  bool was_set = false;
  if (Add(kRequested, was_set)) start_stop_();
  return !was_set;
}

void StopRequest::MainStarted() { Add(kStarted); }

void StopRequest::MainEnded() { Add(kEnded); }

}  // namespace korvan
