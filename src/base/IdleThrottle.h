#pragma once
#include <chrono>

namespace sonaveld {

// The pace of the idle calls of long work: the output commands and the normalization pass let
// their caller process window events between blocks, but at most once per interval, so that the
// window stays live without the calls costing copy time.
class IdleThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = Clock::time_point (*)();
  // The shortest time between two idle calls.
  static constexpr std::chrono::milliseconds kInterval{20};
  // Whether the first call is due at once (the output commands show their status at the first
  // block) or only one interval after the throttle was made (the normalizer's runs).
  enum class First { kAtOnce, kAfterInterval };

  explicit IdleThrottle(std::chrono::milliseconds interval = kInterval, First first = First::kAfterInterval,
                        Now now = &Clock::now);

  // True when an idle call is due; the caller makes it, and the interval starts again.
  bool Due();

 private:
  std::chrono::milliseconds interval_;
  Now now_;
  bool started_;  // an interval is running from last_
  Clock::time_point last_{};
};

}  // namespace sonaveld
