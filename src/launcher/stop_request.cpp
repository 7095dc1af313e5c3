#include "launcher/stop_request.h"

namespace korvan {

bool StopRequest::Add(unsigned flag, unsigned& old_state) {
  old_state = state_.load();
  unsigned new_state = 0;
  bool starts = false;
  do {
    new_state = old_state | flag;
    starts = (new_state & kRequested) && (new_state & kStarted) &&
             !(new_state & (kClosed | kCalled));
    if (starts) new_state |= kCalled;
  } while (!state_.compare_exchange_weak(old_state, new_state));
  return starts;
}

void StopRequest::Add(unsigned flag) {
  unsigned old_state = 0;
  if (Add(flag, old_state)) start_stop_();
}

bool StopRequest::Request() {
  unsigned old_state = 0;
  if (Add(kRequested, old_state)) start_stop_();
  return (old_state & kRequested) == 0;
}

void StopRequest::MainStarted() { Add(kStarted); }

bool StopRequest::MainReturned() {
  unsigned old_state = 0;
  Add(kMainReturned, old_state);
  return (old_state & kStopReturned) != 0;
}

bool StopRequest::StopReturned() {
  unsigned old_state = 0;
  Add(kStopReturned, old_state);
  return (old_state & kMainReturned) != 0;
}

void StopRequest::Close() { Add(kClosed); }

}  // namespace korvan
