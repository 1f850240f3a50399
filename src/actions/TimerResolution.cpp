#include "actions/TimerResolution.h"

namespace hidhost::actions {

void TimerResolution::Request() {
  std::lock_guard lock(mutex_);
  if (requests_++ == 0) raised_ = timers_.TimeBeginPeriod(kPacingResolutionMs);
}

void TimerResolution::Release() {
  std::lock_guard lock(mutex_);
  if (requests_ == 0) return;
  if (--requests_ > 0 || !raised_) return;
  raised_ = false;
  timers_.TimeEndPeriod(kPacingResolutionMs);
}

}  // namespace hidhost::actions
