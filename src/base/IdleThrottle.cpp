#include "base/IdleThrottle.h"

namespace sonaveld {

IdleThrottle::IdleThrottle(std::chrono::milliseconds interval, First first, Now now)
    : interval_(interval), now_(now), started_(first == First::kAfterInterval) {
  if (started_) last_ = now_();
}

bool IdleThrottle::Due() {
  const Clock::time_point now = now_();
  if (started_ && now - last_ < interval_) return false;
  started_ = true;
  last_ = now;
  return true;
}

}  // namespace sonaveld
