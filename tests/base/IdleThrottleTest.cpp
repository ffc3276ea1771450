// The one pace of idle calls, shared by the output commands and the normalizer's runs, on a
// hand-moved clock.
#include <gtest/gtest.h>

#include "base/IdleThrottle.h"

namespace sonaveld {
namespace {

using std::chrono::milliseconds;

IdleThrottle::Clock::time_point fakeNow{};
IdleThrottle::Clock::time_point FakeClock() { return fakeNow; }

// Which of the calls to Due at the given times (ms from the throttle's making) answer true.
std::string DueAt(IdleThrottle::First first, milliseconds interval, std::initializer_list<int> times) {
  fakeNow = IdleThrottle::Clock::time_point{};
  IdleThrottle throttle(interval, first, &FakeClock);
  const auto start = fakeNow;
  std::string due;
  for (int t : times) {
    fakeNow = start + milliseconds(t);
    due += throttle.Due() ? '1' : '0';
  }
  return due;
}

TEST(IdleThrottle, AtMostOncePerIntervalFromTheLastCall) {
  using First = IdleThrottle::First;
  // The normalizer's runs: the first call one interval after the start.
  EXPECT_EQ(DueAt(First::kAfterInterval, IdleThrottle::kInterval, {0, 19, 20, 21, 39, 45, 64, 65}), "00100101");
  // The output commands: the first call at once, then the same pace.
  EXPECT_EQ(DueAt(First::kAtOnce, IdleThrottle::kInterval, {5, 6, 24, 25, 44, 46}), "100101");
  // An interval of 0 (the tests' output option): every call.
  EXPECT_EQ(DueAt(First::kAtOnce, milliseconds(0), {0, 0, 1}), "111");
  EXPECT_EQ(DueAt(First::kAfterInterval, milliseconds(0), {0, 0}), "11");
}

}  // namespace
}  // namespace sonaveld
