#pragma once
#include <cstdint>
#include <functional>

#include "playback/AudioOutput.h"

namespace sonaveld {

// An output without sound: the played time runs with a clock, and the stream counts as played
// out when the clock has passed its duration. It reads nothing from the stream. Used when no
// sound output can start.
class ClockOutput final : public AudioOutput {
 public:
  // Milliseconds of a monotonic clock.
  using Clock = std::function<int64_t()>;
  static int64_t SteadyMilliseconds();

  // The stream's duration is learnt at Start from its bytes left, frameBytes per frame (as the
  // stream serves them) at rate.
  ClockOutput(Clock clock, int frameBytes, int32_t sampleRate);

  bool Start(QIODevice* source) override;
  void Suspend() override;
  void Resume() override;
  // The clock's time since Start less the time held, at most the stream's duration.
  int64_t PlayedMicroseconds() override;

 private:
  Clock clock_;
  int frameBytes_;
  int32_t sampleRate_;
  int64_t durationUs_ = 0;
  int64_t playedBeforeUs_ = 0;  // played time up to the last Suspend
  int64_t runningSince_ = 0;    // clock ms of the last Start/Resume
  bool running_ = false;
};

}  // namespace sonaveld
